// The wizard's window, its construction and the page flow.
#include "MainDlg.h"

#include <memory>

#include "AttachFiles.h"
#include "FileCtrl.h"
#include "InstUtils.h"
#include "MessageBoxes.h"
#include "Setup.h"
#include "os/Machine.h"
#include "ui/Application.h"
#include "ui/FormLoader.h"

TMainDlgForm* MainDlgForm = nullptr;

namespace {

constexpr char kRunningInstancesText[] =
    "There are running instances of Veloquin Word Processor on your computer.\r"
    "Please close any running instance(s) of Veloquin Word Processor before proceeding.";

constexpr char kLicenseQuestionText[] =
    "To install this program, you need to agree to all the terms\r"
    "of the Veloquin Word Processor License Agreement.\r"
    "Do you really want to cancel the Veloquin Spellchecker install?";

constexpr char kWrongFolderText[] =
    "The specified folder does not contain a properly installed Veloquin Word Processor.\r"
    "Please specify the proper home folder of Veloquin Word Processor on your hard disk.";

// The close question names the buttons the box really has: Yes quits, No goes on.
constexpr char kCloseQuestionFormat[] =
    "Setup is not complete. If you quit this setup program now,\r"
    "the %s will not be correctly installed.\r\r"
    "You may relaunch the setup program at a later time\r"
    "to complete the installation of the %s.\r\r"
    "To continue installing, click No.\r"
    "To quit this setup program, click Yes.";

const std::array<std::string, 6> kPageTitles = {
    "Welcome to the %s", "License Agreement", "Specify Home Folder",
    "Ready to Install",  "Installing",        "Installation Complete",
};
const std::array<std::string, 2> kTargetSubfolders = {"Spellcheck\\", "Orthographe\\"};

std::unique_ptr<std::array<std::string, 6>> pageTitles;
std::unique_ptr<std::array<std::string, 2>> targetSubfolders;

constexpr unsigned kDriveWatchTimer = 1;
constexpr unsigned kDriveWatchInterval = 1000;

// EnumWindows callback: stops at the first window that carries the host's property.
bool FindHostWindow(os::WindowHandle window, bool* found) {
  if (os::Machine().GetPropA(window, kHostWindowProperty) != 0) {
    *found = true;
    return false;
  }
  return true;
}

void DeleteTempFile(const std::string& path) {
  os::Machine().DeleteFileW(WidePath(path));
}

}  // namespace

std::array<std::string, 6>& PageTitles() {
  if (!pageTitles) pageTitles = std::make_unique<std::array<std::string, 6>>(kPageTitles);
  return *pageTitles;
}

const std::array<std::string, 2>& TargetSubfolders() {
  if (!targetSubfolders) {
    targetSubfolders = std::make_unique<std::array<std::string, 2>>(kTargetSubfolders);
  }
  return *targetSubfolders;
}

void MainDlgShutdown() {
  pageTitles.reset();
  targetSubfolders.reset();
}

std::string HostDataBaseFolder() {
  std::string base = SpecialFolder(os::kCsidlCommonAppData);
  if (base.empty()) base = SpecialFolder(os::kCsidlPersonal);
  return base;
}

std::string FormatText(std::string format, std::initializer_list<std::string_view> args) {
  std::size_t at = 0;
  for (std::string_view arg : args) {
    at = format.find("%s", at);
    if (at == std::string::npos) break;
    format.replace(at, 2, arg);
    at += arg.size();
  }
  return format;
}

// ---- Construction ----------------------------------------------------------------------

TMainDlgForm::Loader::Loader(TMainDlgForm& form) {
  form.Publish("BNClick", [&form](ui::TObject* sender) { form.BNClick(sender); });
  form.Publish("CancelBtnClick", [&form](ui::TObject* sender) { form.CancelBtnClick(sender); });
  form.Publish("DestDirLstBxChange",
               [&form](ui::TObject* sender) { form.DestDirLstBxChange(sender); });
  form.PublishCloseQuery("FormCloseQuery", [&form](ui::TObject* sender, bool& canClose) {
    form.FormCloseQuery(sender, canClose);
  });
  ui::LoadFormFromResource(form, "TMAINDLGFORM");
}

TMainDlgForm::TMainDlgForm()
    : ui::TForm(nullptr),
      loader_(*this),
      PgCtrl(Control<ui::TPageControl>("PgCtrl")),
      TopLbl(Control<ui::TLabel>("TopLbl")),
      TopPanel(Control<ui::TPanel>("TopPanel")),
      LogoImage(Control<ui::TImage>("LogoImage")),
      LogoSmallImage(Control<ui::TImage>("LogoSmallImage")),
      WelcomeLbl(Control<ui::TLabel>("WelcomeLbl")),
      LicenseMemo(Control<ui::TMemo>("LicenseMemo")),
      LicenseChkBx(Control<ui::TCheckBox>("LicenseChkBx")),
      DestDirEdt(Control<ui::TEdit>("DestDirEdt")),
      DestDirLstBx(Control<TDirectoryListBox>("DestDirLstBx")),
      DestDirCmbBx(Control<TDriveComboBox>("DestDirCmbBx")),
      StartLbl(Control<ui::TLabel>("StartLbl")),
      FinishLbl(Control<ui::TLabel>("FinishLbl")),
      FinishChkBx(Control<ui::TCheckBox>("FinishChkBx")),
      BackBtn(Control<ui::TButton>("BackBtn")),
      NextBtn(Control<ui::TButton>("NextBtn")),
      CancelBtn(Control<ui::TButton>("CancelBtn")) {
  SetCaption(kSetupTitle);
  PageTitles()[kWelcomePage] = FormatText(PageTitles()[kWelcomePage], {kProductName});
  // The white band keeps its own colour under visual styles too.
  TopPanel.SetParentBackground(false);
  LoadLogos();
  FormatLabels();
  LoadSettings();
  // Initialized is still false: the list's change event leaves the edit box alone, so the
  // edit box shows the first guess even where the list falls back to a parent folder.
  DestDirEdt.SetText(Options.MainDir);
  // The selector lists the drives, and records which are present, before the folder list
  // picks its drive: the drive watch then starts from the drives present at start, and its
  // first tick does not take every drive for a new one while the selector has no window yet.
  DestDirCmbBx.RefreshDrives();
  DestDirLstBx.SetFolder(Options.MainDir);
  SetTimer(kDriveWatchTimer, kDriveWatchInterval);
  GoToPage(kNoPage, kWelcomePage);
  Initialized = true;
}

TMainDlgForm::~TMainDlgForm() {
  KillTimer(kDriveWatchTimer);
}

// Both pictures pass through one temporary file. The extractions are not checked: a logo
// that did not arrive fails to load, and that ends the start of the program.
void TMainDlgForm::LoadLogos() {
  const std::string temp = NewTempFileName();
  AttachedFiles->ExtractFile(nullptr, "Logo.bmp", temp);
  LogoImage.Picture().LoadFromFile(temp);
  AttachedFiles->ExtractFile(nullptr, "LogoSmall.bmp", temp);
  LogoSmallImage.Picture().LoadFromFile(temp);
  DeleteTempFile(temp);
}

void TMainDlgForm::FormatLabels() {
  WelcomeLbl.SetCaption(FormatText(WelcomeLbl.Caption(), {kShortProductName}));
  StartLbl.SetCaption(FormatText(StartLbl.Caption(), {kProductName}));
  FinishLbl.SetCaption(FormatText(FinishLbl.Caption(), {kProductName}));
}

// ---- Page flow -------------------------------------------------------------------------

int TMainDlgForm::CurrentPage() const {
  return PgCtrl.ActivePageIndex();
}

void TMainDlgForm::GoToPage(std::uint8_t fromPage, std::uint8_t toPage) {
  switch (toPage) {
    case kLicensePage:
      // The licence is loaded once; going back to the Welcome page and on again neither
      // loads it again nor looks for the host again.
      if (fromPage == kWelcomePage && LicenseMemo.Lines().Empty()) {
        if (HostIsRunning()) {
          ShowMessageBox(kRunningInstancesText, mtInformation, mbOK);
          return;
        }
        if (!LoadLicense()) {
          // The page is still shown; the wizard closes when the handler returns.
          CloseAllowed = true;
          SetModalResult(ui::mrCancel);
        }
      }
      break;
    case kHomeFolderPage:
      if (fromPage == kLicensePage && !LicenseChkBx.Checked()) {
        if (ShowMessageBox(kLicenseQuestionText, mtInformation, mbYes | mbNo) == mrYes) {
          CloseAllowed = true;
          SetModalResult(ui::mrCancel);
        }
        return;
      }
      break;
    case kReadyPage:
      NormalizeHomeFolder();
      if (!HomeFolderHoldsHost()) {
        ShowMessageBox(kWrongFolderText, mtInformation, mbOK);
        return;
      }
      Options.MainDir = DestDirEdt.Text();
      break;
    case kInstallingPage:
      if (HostIsRunning()) {
        ShowMessageBox(kRunningInstancesText, mtInformation, mbOK);
        return;
      }
      break;
    case kFinishPressed:
      Finish();
      CloseAllowed = true;
      SetModalResult(ui::mrOk);
      return;
    default:
      break;
  }

  ShowPage(toPage);
  // The installation runs inside this call, with the Installing page on screen.
  if (toPage == kInstallingPage) {
    if (RunInstallation()) {
      GoToPage(kInstallingPage, kFinishPage);
    } else {
      CloseAllowed = true;
      SetModalResult(ui::mrCancel);
    }
  }
}

void TMainDlgForm::ShowPage(std::uint8_t page) {
  BackBtn.SetVisible(page != kWelcomePage);
  BackBtn.SetEnabled(page < kInstallingPage);
  BackBtn.SetCaption("< &Back");
  NextBtn.SetEnabled(page != kInstallingPage);
  NextBtn.SetCaption(page == kFinishPage ? "&Finish" : "&Next >");
  CancelBtn.SetEnabled(page != kFinishPage);
  CancelBtn.SetCaption("Cancel");
  TopLbl.SetCaption(PageTitles().at(page));
  PgCtrl.SetActivePageIndex(page);
  switch (page) {
    case kLicensePage:
      LicenseMemo.SetFocus();
      break;
    case kHomeFolderPage:
      DestDirEdt.SetFocus();
      break;
    case kReadyPage:
      NextBtn.SetFocus();
      break;
    default:
      break;
  }
}

bool TMainDlgForm::LoadLicense() {
  // Nothing may be pressed while the text is extracted.
  NextBtn.SetEnabled(false);
  CancelBtn.SetEnabled(false);
  if (ui::Application* application = ui::TheApplication()) {
    application->GetPlatform().ShowWaitCursor();
  }
  const std::string temp = NewTempFileName();
  if (!AttachedFiles->ExtractFile(nullptr, "License.txt", temp)) return false;
  try {
    LicenseMemo.Lines().LoadFromFile(temp);
  } catch (const std::exception&) {
    // The page shows whatever the box holds.
  }
  DeleteTempFile(temp);
  return true;
}

// A folder of that name is no host.
bool TMainDlgForm::HomeFolderHoldsHost() const {
  os::FindData data;
  auto& os = os::Machine();
  const os::Handle search = os.FindFirstFileA(JoinPath(DestDirEdt.Text(), kHostExecutable), data);
  if (search == os::kInvalidHandle) return false;
  os.FindClose(search);
  return (data.attributes & os::kFileAttributeDirectory) == 0;
}

void TMainDlgForm::BNClick(ui::TObject* sender) {
  const int current = CurrentPage();
  const int next = sender == &BackBtn ? current - 1 : current + 1;
  GoToPage(static_cast<std::uint8_t>(current), static_cast<std::uint8_t>(next));
}

void TMainDlgForm::CancelBtnClick(ui::TObject* /*sender*/) {
  Close();
}

void TMainDlgForm::FormCloseQuery(ui::TObject* /*sender*/, bool& canClose) {
  if (!CloseAllowed) {
    const std::string text = FormatText(kCloseQuestionFormat, {kProductName, kProductName});
    CloseAllowed = ShowMessageBox(text, mtConfirmation, mbYes | mbNo) == mrYes;
  }
  canClose = CloseAllowed;
}

bool TMainDlgForm::HostIsRunning() {
  bool found = false;
  os::Machine().EnumWindows(
      [&found](os::WindowHandle window) { return FindHostWindow(window, &found); });
  return found;
}
