#pragma once
// A component holding named pictures for markup: <IMG src="logo"> finds the
// item named Logo (names compared without regard to case).

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "framework/Component.h"
#include "markup/HTMLPicture.h"

namespace plx {

class TPictureItem : public TPersistent {
 public:
  TPictureItem();

  // Owned by the item; setting it copies the picture given.
  THTMLPicture& Picture() { return *picture_; }
  const THTMLPicture& Picture() const { return *picture_; }
  void SetPicture(const THTMLPicture& picture) { picture_->Assign(picture); }
  const std::string& Name() const { return name_; }
  void SetName(std::string name) { name_ = std::move(name); }
  int Tag() const { return tag_; }
  void SetTag(int tag) { tag_ = tag; }

  // Copies name, tag and picture of another item.
  void Assign(const TPersistent& source) override;

 private:
  std::unique_ptr<THTMLPicture> picture_;
  std::string name_;
  int tag_ = 0;
};

class TPictureCollection {
 public:
  TPictureCollection() = default;
  TPictureCollection(const TPictureCollection&) = delete;
  TPictureCollection& operator=(const TPictureCollection&) = delete;

  TPictureItem& Add();
  // A new item at index (clamped to 0 .. Count).
  TPictureItem& Insert(int index);
  int Count() const { return static_cast<int>(items_.size()); }
  // nullptr outside 0 .. Count - 1.
  TPictureItem* Items(int index) const;
  void Delete(int index);
  void Clear() { items_.clear(); }
  // Steps every item's picture; true when any changed its frame.
  bool Animate();

 private:
  std::vector<std::unique_ptr<TPictureItem>> items_;
};

class TPictureContainer : public TComponent {
 public:
  explicit TPictureContainer(TComponent* owner) : TComponent(owner) {}

  TPictureCollection& Items() { return items_; }
  // The version reads 1.0.0.0; writing it changes nothing.
  std::string Version() const { return "1.0.0.0"; }
  void SetVersion(const std::string&) {}

  // The picture of the first item whose name equals `name` without regard to
  // case, or nullptr.
  virtual THTMLPicture* FindPicture(std::string_view name);

 private:
  TPictureCollection items_;
};

}  // namespace plx
