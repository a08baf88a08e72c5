#include "ui/Pages.h"

#include <algorithm>

namespace ui {

namespace {
using V = const PropertyValue&;
using N = std::string_view;
}  // namespace

// ---- TTabSheet -----------------------------------------------------------------------------

TTabSheet::TTabSheet(TComponent* owner) : TWinControl(owner) {
  SetVisible(false);
}

TTabSheet::~TTabSheet() {
  if (pageControl_ != nullptr) pageControl_->RemovePage(*this);
}

void TTabSheet::SetPageControl(TPageControl* pageControl) {
  SetParent(pageControl);
}

void TTabSheet::SetParent(TWinControl* parent) {
  auto* pageControl = dynamic_cast<TPageControl*>(parent);
  if (parent != nullptr && pageControl == nullptr) {
    throw EInvalidOperation("A page can only lie in a page container");
  }
  if (pageControl_ != nullptr && pageControl_ != pageControl) pageControl_->RemovePage(*this);
  TWinControl::SetParent(parent);
  if (pageControl != nullptr && pageControl_ != pageControl) pageControl->InsertPage(*this);
}

int TTabSheet::PageIndex() const {
  if (pageControl_ == nullptr) return -1;
  const auto& pages = pageControl_->pages_;
  return static_cast<int>(std::find(pages.begin(), pages.end(), this) - pages.begin());
}

void TTabSheet::SetPageIndex(int index) {
  if (pageControl_ == nullptr) return;
  auto& pages = pageControl_->pages_;
  pages.erase(std::find(pages.begin(), pages.end(), this));
  index = std::clamp(index, 0, static_cast<int>(pages.size()));
  pages.insert(pages.begin() + index, this);
}

void TTabSheet::SetBounds(int left, int top, int width, int height) {
  if (pageControl_ != nullptr) {
    const TRect r = pageControl_->DisplayRect();
    left = r.Left;
    top = r.Top;
    width = r.Width();
    height = r.Height();
  }
  TWinControl::SetBounds(left, top, width, height);
}

void TTabSheet::Paint(TCanvas& canvas) {
  canvas.Brush.Color = Color();
  canvas.Brush.Style = TBrushStyle::Solid;
  canvas.FillRect(ClientRect());
}

bool TTabSheet::ApplyProperty(std::string_view name, const PropertyValue& value) {
  using C = TTabSheet;
  static const PropertyTable<C> table = {
      {"PageControl",
       [](C& c, V v, N n) {
         c.DeferReference(v.AsIdentifier(n), [&c](TComponent& target) {
           auto* pageControl = dynamic_cast<TPageControl*>(&target);
           if (pageControl == nullptr) throw EFormError(target.Name() + " is no page container");
           c.SetPageControl(pageControl);
         });
       }},
      {"PageIndex", [](C& c, V v, N n) { c.SetPageIndex(v.AsInt(n)); }},
      {"TabVisible", [](C& c, V v, N n) { c.tabVisible_ = v.AsBoolean(n); }},
  };
  return table.Apply(*this, name, value) || TWinControl::ApplyProperty(name, value);
}

// ---- TPageControl --------------------------------------------------------------------------

TPageControl::TPageControl(TComponent* owner) : TWinControl(owner) {
  width_ = 289;
  height_ = 193;
}

TPageControl::~TPageControl() {
  for (TTabSheet* page : pages_)
    page->pageControl_ = nullptr;
  pages_.clear();
  activePage_ = nullptr;
}

void TPageControl::InsertPage(TTabSheet& page) {
  page.pageControl_ = this;
  pages_.push_back(&page);
  page.SetVisible(false);
  PlacePage(page);
}

void TPageControl::RemovePage(TTabSheet& page) {
  if (activePage_ == &page) activePage_ = nullptr;
  pages_.erase(std::remove(pages_.begin(), pages_.end(), &page), pages_.end());
  page.pageControl_ = nullptr;
}

void TPageControl::PlacePage(TTabSheet& page) {
  page.SetBounds(0, 0, 0, 0);  // the page takes the display area
}

void TPageControl::Resized() {
  for (TTabSheet* page : pages_)
    PlacePage(*page);
  TWinControl::Resized();
}

void TPageControl::SetActivePage(TTabSheet* page) {
  if (page != nullptr && page->pageControl_ != this) {
    throw EInvalidOperation("The page is not in this page container");
  }
  if (page == activePage_) return;
  // The new page is shown before the old one is hidden, so that nothing flashes between.
  TTabSheet* old = activePage_;
  activePage_ = page;
  if (page != nullptr) page->SetVisible(true);
  if (old != nullptr) old->SetVisible(false);
}

int TPageControl::ActivePageIndex() const {
  return activePage_ != nullptr ? activePage_->PageIndex() : -1;
}

void TPageControl::SetActivePageIndex(int index) {
  SetActivePage(index >= 0 && index < PageCount() ? pages_[static_cast<size_t>(index)] : nullptr);
}

void TPageControl::Paint(TCanvas& canvas) {
  canvas.Brush.Color = Color();
  canvas.Brush.Style = TBrushStyle::Solid;
  canvas.FillRect(ClientRect());
}

bool TPageControl::ApplyProperty(std::string_view name, const PropertyValue& value) {
  using C = TPageControl;
  static const PropertyTable<C> table = {
      {"ActivePage",
       [](C& c, V v, N n) {
         c.DeferReference(v.AsIdentifier(n), [&c](TComponent& target) {
           auto* page = dynamic_cast<TTabSheet*>(&target);
           if (page == nullptr) throw EFormError(target.Name() + " is no page");
           c.SetActivePage(page);
         });
       }},
  };
  return table.Apply(*this, name, value) || TWinControl::ApplyProperty(name, value);
}

}  // namespace ui
