// The setup wizard: one modal window with six pages (welcome, licence, home folder, ready,
// installing, finish) and a row of Back, Next/Finish and Cancel buttons.
//
// The window is built from its stored description; the code here gives it its captions,
// pictures and first home folder, moves between the pages with the checks that guard each
// step, runs the installation on the Installing page and leaves its records on Finish. The
// work is split by job over MainDlg.cpp (construction and page flow), MainDlgHomeFolder.cpp
// (first guess, clean-up of the typed folder, the drive watch), MainDlgInstall.cpp (the
// installation run) and MainDlgFinish.cpp (stamp, update log, launch, settings).
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "ui/Ui.h"

class TDriveComboBox;
class TDirectoryListBox;

// Page numbers, by position in the page container.
inline constexpr std::uint8_t kWelcomePage = 0;
inline constexpr std::uint8_t kLicensePage = 1;
inline constexpr std::uint8_t kHomeFolderPage = 2;
inline constexpr std::uint8_t kReadyPage = 3;
inline constexpr std::uint8_t kInstallingPage = 4;
inline constexpr std::uint8_t kFinishPage = 5;
// GoToPage's destination for the press of Finish (no page has this number)...
inline constexpr std::uint8_t kFinishPressed = 6;
// ...and the page being left at the first display, when no page was shown before.
inline constexpr std::uint8_t kNoPage = 255;

// The window property that every running host carries on one of its top-level windows.
inline constexpr char kHostWindowProperty[] = "1.x Heron Gate";
// The host's executable: a home folder is accepted only when this file is in it.
inline constexpr char kHostExecutable[] = "vqd.exe";

// The product names that the wizard's texts are formatted with.
inline constexpr char kProductName[] = "Veloquin Bulgarian Spellchecker";
inline constexpr char kShortProductName[] = "Bulgarian Spellchecker";

// What the user chose.
struct TOptions {
  // The host's home folder: the first guess at construction, replaced when the home-folder
  // page is left forwards with a folder that holds the host.
  std::string MainDir;
};

class TMainDlgForm : public ui::TForm {
  // Builds the window from its stored description, the handlers published first. Declared
  // before the control references below, which are looked up in the loaded window.
  struct Loader {
    explicit Loader(TMainDlgForm& form);
  };
  Loader loader_;

 public:
  // Builds the window (no owner), loads the logos, takes the first guess of the home folder,
  // starts the drive watch and shows the Welcome page. A logo that cannot be loaded raises.
  TMainDlgForm();
  // Stops the drive watch.
  ~TMainDlgForm() override;

  std::string_view ClassName() const override { return "TMainDlgForm"; }

  // The wizard may close without asking the user: set before every close the wizard starts
  // itself, and by the close question to the user's answer.
  bool CloseAllowed = false;
  // Construction is over: from now on the folder list's changes reach the edit box.
  bool Initialized = false;
  // The moment of the Finish step (a local day count); meaningless before it.
  double InstallStamp = 0.0;
  TOptions Options;

  // One step of the wizard: the checks and work that belong to `toPage`, then (unless Finish
  // was pressed) the buttons, title, page and focus of `toPage`. A failed check leaves
  // everything as it was.
  void GoToPage(std::uint8_t fromPage, std::uint8_t toPage);
  // The page shown now.
  int CurrentPage() const;

  // Back and Next/Finish.
  void BNClick(ui::TObject* sender);
  // Cancel, Esc and the close box: a close that the close query decides.
  void CancelBtnClick(ui::TObject* sender);
  // Asks the close question unless the wizard already may close.
  void FormCloseQuery(ui::TObject* sender, bool& canClose);

  // Whether a top-level window of the desktop carries the host's property.
  static bool HostIsRunning();

  // ---- Home folder (MainDlgHomeFolder.cpp) ----------------------------------------------
  // Cleans up the text of the home-folder edit box in place.
  void NormalizeHomeFolder();
  // The folder list moved: once construction is over, the edit box follows it.
  void DestDirLstBxChange(ui::TObject* sender);

  // ---- Installation (MainDlgInstall.cpp) --------------------------------------------------
  // The host lives on a removable or USB drive: the add-on goes beside it.
  bool IsPortableInstall() const;

  // ---- Finish (MainDlgFinish.cpp) ---------------------------------------------------------
  // Rewrites the update log for the files this installation queued into the public folder.
  void WriteUpdateLog();
  // Writes the home folder and the launch choice to the settings key.
  void SaveSettings();

  // The controls the code works with.
  ui::TPageControl& PgCtrl;
  ui::TLabel& TopLbl;
  ui::TPanel& TopPanel;
  ui::TImage& LogoImage;
  ui::TImage& LogoSmallImage;
  ui::TLabel& WelcomeLbl;
  ui::TMemo& LicenseMemo;
  ui::TCheckBox& LicenseChkBx;
  ui::TEdit& DestDirEdt;
  TDirectoryListBox& DestDirLstBx;
  TDriveComboBox& DestDirCmbBx;
  ui::TLabel& StartLbl;
  ui::TLabel& FinishLbl;
  ui::TCheckBox& FinishChkBx;
  ui::TButton& BackBtn;
  ui::TButton& NextBtn;
  ui::TButton& CancelBtn;

 protected:
  // The drive watch, once a second on every page.
  void WMTimer(unsigned id) override;

 private:
  void LoadLogos();
  void FormatLabels();
  // The first guess of the home folder and the launch choice.
  void LoadSettings();
  // Extracts the licence text and shows it; false when the user aborted the extraction.
  bool LoadLicense();
  bool HomeFolderHoldsHost() const;
  // The buttons, title, page and focus of page `page`.
  void ShowPage(std::uint8_t page);
  // Queues and writes the add-on's files; false when the user aborted a write.
  bool RunInstallation();
  // The Finish button's work, before the wizard closes.
  void Finish();
};

// The wizard of the process, made and freed by the program entry; null outside it.
extern TMainDlgForm* MainDlgForm;

// The title of each page, by page number. Entry 0 is a format that the construction
// replaces by its formatted text. Made on first use, released by MainDlgShutdown.
std::array<std::string, 6>& PageTitles();
// The two shared folders of the host that receive the add-on's files, each with its final
// backslash: entry 0 "Spellcheck\", entry 1 "Orthographe\". Released by MainDlgShutdown.
const std::array<std::string, 2>& TargetSubfolders();
// Releases the unit's tables at the end of the process.
void MainDlgShutdown();

// The folder under which the host keeps its machine-wide data: the common application-data
// folder, else the documents folder. No final backslash; empty when neither is known.
std::string HostDataBaseFolder();

// "%s" in `format` replaced by the arguments in order.
std::string FormatText(std::string format, std::initializer_list<std::string_view> args);
