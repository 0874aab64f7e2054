#ifndef RQ700_EDITOR_MESSAGES_H_
#define RQ700_EDITOR_MESSAGES_H_

#include <string_view>

#include "files/backup_reader.h"

// The editor's own texts, each written once.
namespace rq700::text {

inline constexpr std::string_view kMainWindowTitle = "RQ700 Studio";
inline constexpr std::string_view kWaitingTitle = "Waiting";

inline constexpr std::string_view kError = "Error";
inline constexpr std::string_view kErrorUpper = "ERROR";
inline constexpr std::string_view kNotice = "Notice";

inline constexpr std::string_view kOpenDeviceFail = "Open Device fail";
inline constexpr std::string_view kUpdataPresetFail = "Updata preset fail";
inline constexpr std::string_view kDeviceDisconnected = "The device is disconnected";

inline constexpr std::string_view kImportSuccess = "Import Success!!";
inline constexpr std::string_view kImportFail = "Import Fail!!";
inline constexpr std::string_view kFileError = "File error!!";
inline constexpr std::string_view kTooManyFiles = "Select a maximum of 200 files!!";
inline constexpr std::string_view kFileNameError = "File Name error!!";

inline constexpr std::string_view kRestoreSuccess =
    "Restore successful, please restart the software";
inline constexpr std::string_view kBackupSuccess = "Backup successful!";
inline constexpr std::string_view kRestoreFail = "Restore fail! please try again";
// A backup that ended early (the device silent or gone, an answer that does not fit), and
// one whose file cannot be written; the earlier file at the path stays as it was.
inline constexpr std::string_view kBackupFail = "Backup fail! please try again";
inline constexpr std::string_view kBackupNotWritten = "Backup fail! the file cannot be written";

// The save question before another preset is picked: its format takes the edited preset's
// number (1..200), three digits.
inline constexpr std::string_view kConfirmation = "Confirmation";
inline constexpr const char* kSaveQuestionFormat = "Do you want to save changes to P%03d ?";

// A file of the wrong kind: the text the file layer gives for a backup it refuses.
inline constexpr std::string_view kWrongFileFormat = files::kWrongBackupFormat;

// The save dialog.
inline constexpr std::string_view kSaveDialogTitle = "SAVE";
inline constexpr std::string_view kSaveButton = "SAVE";
inline constexpr std::string_view kCancelButton = "CANCEL";
inline constexpr std::string_view kPresetGroup = "Preset";
inline constexpr std::string_view kNameLabel = "Name:";
inline constexpr std::string_view kNumberLabel = "Number:";

// Transfers into the user slots, preset files in and out, files dropped on the window.
inline constexpr std::string_view kWarning = "Warning";
inline constexpr std::string_view kOpenTitle = "Open";
inline constexpr std::string_view kSaveAsTitle = "Save as";
inline constexpr std::string_view kChooseFolderTitle = "选择一个文件夹";
inline constexpr std::string_view kIrFilter = "IR Flie (*.wav)";
inline constexpr std::string_view kAmpFilter = "Amp Flie (*.amp)";
inline constexpr std::string_view kPresetFilter = "PresetFile Flie (*.zv)";
inline constexpr std::string_view kImportIrSuccess = "Import IR success!!";
inline constexpr std::string_view kImportAmpSuccess = "Import AMP success!!";
inline constexpr std::string_view kDeleteIrQuestion = "Do you want to delete IR Data?";
inline constexpr std::string_view kSlotTransferFailed =
    "Import fail!! The device did not answer, please try again.";
inline constexpr std::string_view kSelectionTooLarge =
    "Too many file names selected, please select fewer files!!";
inline constexpr std::string_view kExportFailed = "Export fail!! The file cannot be written.";
inline constexpr std::string_view kDropRefused =
    "Only preset files (.zv), one IR file (.wav), one AMP file (.amp) or one backup file "
    "(.zbf) can be dropped here.";
// A save chooser's name typed without its extension, when the file with it exists: the
// file's name, then this.
inline constexpr std::string_view kConfirmSaveTitle = "Confirm Save As";
inline constexpr std::string_view kReplaceQuestionTail =
    " already exists.\nDo you want to replace it?";
inline constexpr std::string_view kRestoreQuestion = "Do you want to restore this backup file?";
inline constexpr std::string_view kChooseSlotTitle = "User slot";
inline constexpr std::string_view kChooseIrSlot = "Import the IR file into user slot:";
inline constexpr std::string_view kChooseAmpSlot = "Import the AMP file into user slot:";

}  // namespace rq700::text

#endif  // RQ700_EDITOR_MESSAGES_H_
