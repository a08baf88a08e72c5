// The control kinds of the wizard's form description, made known to the form loader.
#pragma once

// Registers TBevel, TButton, TCheckBox, TDirectoryListBox, TDriveComboBox, TEdit, TImage,
// TLabel, TMemo, TPanel, TPageControl and TTabSheet, in this order, with the process's
// registry (ui::ControlKinds()). Calling it again changes nothing. The program does it once
// at start-up, before the wizard's window is built.
void RegisterControlKinds();
