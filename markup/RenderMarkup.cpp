#include "markup/RenderMarkup.h"

#include "markup/GdiMarkupSurface.h"
#include "markup/MarkupLayout.h"

namespace plx {

bool RenderMarkup(TCanvas& canvas, const std::string& markup, const TRect& bounds, TCustomImageList* images,
                  int mouseX, int mouseY, int shadowOffset, bool hitTestOnly, bool measureOnly, bool selected,
                  bool blinkOn, bool wordWrap, TColor urlColor, TColor shadowColor, std::string& anchorUnderMouse,
                  int& extentX, int& extentY, THTMLPictureCache* pictureCache, TPictureContainer* pictureContainer,
                  int lineSpacing) {
  MarkupLayoutRequest request;
  request.Bounds = bounds;
  request.MouseX = mouseX;
  request.MouseY = mouseY;
  request.ShadowOffset = shadowOffset;
  request.HitTestOnly = hitTestOnly;
  request.MeasureOnly = measureOnly;
  request.Selected = selected;
  request.BlinkOn = blinkOn;
  request.WordWrap = wordWrap;
  request.URLColor = urlColor;
  request.ShadowColor = shadowColor;
  request.LineSpacing = lineSpacing;
  request.StartBackground = canvas.Brush().Color();

  GdiMarkupSurface surface(canvas, MarkupPictureSources{images, pictureCache, pictureContainer});
  request.StartFont = surface.CanvasFont();
  MarkupLayoutResult result = RenderOnSurface(surface, markup, request);
  anchorUnderMouse = std::move(result.AnchorUnderMouse);
  extentX = result.ExtentX;
  extentY = result.ExtentY;
  return result.OnAnchor;
}

void GradientFill(TCanvas& canvas, TColor from, TColor to, bool horizontal, const TRect& r, int bands,
                  TColor border) {
  GdiMarkupSurface surface(canvas, MarkupPictureSources{});
  FillGradient(surface, from, to, horizontal, r, bands, border);
}

}  // namespace plx
