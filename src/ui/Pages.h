// A page container without tabs: the program shows one page at a time; the user cannot
// switch pages. Each page is a plain window that fills the container's display area.
#pragma once

#include <string_view>
#include <vector>

#include "ui/Controls.h"

namespace ui {

class TPageControl;

class TTabSheet : public TWinControl {
 public:
  explicit TTabSheet(TComponent* owner);
  ~TTabSheet() override;
  std::string_view ClassName() const override { return "TTabSheet"; }

  TPageControl* PageControl() const { return pageControl_; }
  // Puts the page into a container (as its last page) and the container's window around it.
  void SetPageControl(TPageControl* pageControl);
  // The page's position in its container, or -1.
  int PageIndex() const;
  void SetPageIndex(int index);
  // Kept for the description: the container shows no tabs in any case.
  bool TabVisible() const { return tabVisible_; }

  void SetParent(TWinControl* parent) override;
  // A page's bounds are the container's display area.
  void SetBounds(int left, int top, int width, int height) override;
  void Paint(TCanvas& canvas) override;

 protected:
  bool ApplyProperty(std::string_view name, const PropertyValue& value) override;

 private:
  friend class TPageControl;
  TPageControl* pageControl_ = nullptr;
  bool tabVisible_ = true;
};

class TPageControl : public TWinControl {
 public:
  explicit TPageControl(TComponent* owner);
  ~TPageControl() override;
  std::string_view ClassName() const override { return "TPageControl"; }

  int PageCount() const { return static_cast<int>(pages_.size()); }
  TTabSheet* Pages(int index) const { return pages_.at(static_cast<size_t>(index)); }
  TTabSheet* ActivePage() const { return activePage_; }
  // Shows `page` and hides the one shown before.
  void SetActivePage(TTabSheet* page);
  int ActivePageIndex() const;
  void SetActivePageIndex(int index);
  // Where the pages lie: the client area inside the container's frame.
  TRect DisplayRect() const { return ClientRect().Inflate(-4, -4); }

  void Paint(TCanvas& canvas) override;

 protected:
  bool ApplyProperty(std::string_view name, const PropertyValue& value) override;
  void Resized() override;

 private:
  friend class TTabSheet;
  void InsertPage(TTabSheet& page);
  void RemovePage(TTabSheet& page);
  void PlacePage(TTabSheet& page);

  std::vector<TTabSheet*> pages_;
  TTabSheet* activePage_ = nullptr;
};

}  // namespace ui
