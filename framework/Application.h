#pragma once
// The application object: title, main form, message loop and the display of
// exceptions that escape event handlers.

#include <windows.h>

#include <exception>
#include <functional>
#include <memory>
#include <string>

#include "framework/Component.h"

namespace plx {

class TForm;

class TApplication : public TComponent {
 public:
  TApplication();
  ~TApplication() override;

  // Prepares the thread: COM and the common controls.
  void Initialize();

  const std::string& Title() const { return title_; }
  void SetTitle(std::string title) { title_ = std::move(title); }

  // Creates a form owned by the application; the first becomes MainForm.
  // OnCreate runs once the form is fully constructed.
  template <class Form>
  Form* CreateForm() {
    auto* form = new Form(this);
    RegisterCreatedForm(form);
    return form;
  }
  TForm* MainForm() const { return main_form_; }

  // Shows the main form and dispatches messages until it has closed.
  void Run();
  // Dispatches every message waiting in the queue, then returns.
  void ProcessMessages();
  // Ends the message loop after the current message.
  void Terminate();
  bool Terminated() const { return terminated_; }

  // Sees every message before it is dispatched; answer true to swallow it.
  std::function<bool(MSG&)> OnMessage;

  // Shows the exception being handled (the current one), unless it is the
  // silent EAbort. Call from a catch block.
  void HandleException(TObject* sender);
  void ShowException(const std::exception& error);
  // Replaces the message box, for tests: receives the text and caption.
  std::function<void(const std::string& text, const std::string& caption)> OnShowMessage;

  // Called when a form is destroyed, so a dangling MainForm is never used.
  void FormDestroyed(TForm* form);

 private:
  void RegisterCreatedForm(TForm* form);
  bool ProcessMessage(MSG& msg);

  std::string title_;
  TForm* main_form_ = nullptr;  // owned as a component
  bool terminated_ = false;
  bool com_initialized_ = false;
};

// The process's one application object.
TApplication& Application();

}  // namespace plx
