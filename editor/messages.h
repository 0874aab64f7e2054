#ifndef RQ700_EDITOR_MESSAGES_H_
#define RQ700_EDITOR_MESSAGES_H_

#include <string_view>

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

inline constexpr std::string_view kWrongFileFormat =
    "Wrong file format!\r\nPlease check compatibility of file type";

// The save dialog.
inline constexpr std::string_view kSaveDialogTitle = "SAVE";
inline constexpr std::string_view kSaveButton = "SAVE";
inline constexpr std::string_view kCancelButton = "CANCEL";
inline constexpr std::string_view kPresetGroup = "Preset";
inline constexpr std::string_view kNameLabel = "Name:";
inline constexpr std::string_view kNumberLabel = "Number:";

}  // namespace rq700::text

#endif  // RQ700_EDITOR_MESSAGES_H_
