#include "ControlKinds.h"

#include "FileCtrl.h"
#include "ui/ExtControls.h"
#include "ui/FormLoader.h"
#include "ui/Pages.h"
#include "ui/StdControls.h"

void RegisterControlKinds() {
  ui::ControlKindRegistry& kinds = ui::ControlKinds();
  kinds.Register<ui::TBevel>("TBevel");
  kinds.Register<ui::TButton>("TButton");
  kinds.Register<ui::TCheckBox>("TCheckBox");
  kinds.Register<TDirectoryListBox>("TDirectoryListBox");
  kinds.Register<TDriveComboBox>("TDriveComboBox");
  kinds.Register<ui::TEdit>("TEdit");
  kinds.Register<ui::TImage>("TImage");
  kinds.Register<ui::TLabel>("TLabel");
  kinds.Register<ui::TMemo>("TMemo");
  kinds.Register<ui::TPanel>("TPanel");
  kinds.Register<ui::TPageControl>("TPageControl");
  kinds.Register<ui::TTabSheet>("TTabSheet");
}
