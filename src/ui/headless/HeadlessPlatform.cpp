#include "ui/headless/HeadlessPlatform.h"

namespace ui {
namespace {

class HeadlessApplicationPeer : public ApplicationPeer {
 public:
  explicit HeadlessApplicationPeer(HeadlessPlatform& platform) : platform_(platform) {
    platform_.applicationWindowExists = true;
  }
  ~HeadlessApplicationPeer() override { platform_.applicationWindowExists = false; }
  os::WindowHandle Handle() const override { return kHandle; }
  void SetText(std::string_view text) override { platform_.applicationText = text; }
  void SetBigIcon(int id) override { platform_.applicationBigIcon = id; }

  static constexpr os::WindowHandle kHandle = 0x10010;

 private:
  HeadlessPlatform& platform_;
};

}  // namespace

std::unique_ptr<ApplicationPeer> HeadlessPlatform::CreateApplicationPeer() {
  return std::make_unique<HeadlessApplicationPeer>(*this);
}

}  // namespace ui
