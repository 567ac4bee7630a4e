// The export's file work: the folder and the file looked for, the person asked before a file is
// replaced, the whole file made in memory and then written line by line.
//
// Every line is encoded before the file is created, so that between CreateFileW and CloseHandle
// nothing but a write can fail. The device writes a CREATE_ALWAYS file beside its name and puts
// it under the name only at CloseHandle, and takes it back at once when a write (or the close)
// fails; so the old file stays byte for byte until the new one is whole, and nothing is left
// beside it when it is not.
#include "report/csv_export.h"

#include "app/app_context.h"
#include "entry/view_types.h"
#include "model/storage_messages.h"
#include "platform/fileapi.h"
#include "platform/resource.h"
#include "platform/winnls.h"
#include "platform/winuser.h"
#include "report/csv_lines.h"
#include "resources/strings.h"

#include <climits>
#include <new>
#include <string>
#include <vector>

namespace
{
// An export file's bytes as it will be written, and where each line ends in them.
struct ExportBytes {
    DWORD unicode = 0;
    std::string bytes;
    std::vector<size_t> lineEnds;
};

typedef bool (*LineMaker)(DWORD timeType, ExportBytes* file);

// Room for `lines` lines of about the length records lines have, so that a file of usual lines
// is made without moving its bytes.
void Reserve(size_t lines, ExportBytes* file)
{
    const size_t usualLine = 64;
    file->lineEnds.reserve(lines);
    file->bytes.reserve(lines * usualLine * (file->unicode ? 2 : 1));
}

int ShowExportMessage(UINT textId, UINT type)
{
    WCHAR text[MESSAGE_TEXT_MAX];
    LoadStringW(App.Instance, textId, text, MESSAGE_TEXT_MAX);
    SetCursor(nullptr);
    return MessageBoxW(nullptr, text, App.Title, type);
}

LPCWSTR FolderPath(DWORD folder)
{
    return folder == 0 ? u"\\My Documents\\Business" : u"\\My Documents\\Personal";
}

bool Usable(LPCWSTR name, DWORD timeType, DWORD unicode, DWORD folder)
{
    return name && name[0] && timeType <= HoursOnly && unicode <= 1 && folder <= 1 && App.Settings;
}

// A folder that is read-only, or carries any attribute besides being a folder, is not one the
// export writes to.
bool FolderPresent(LPCWSTR folderPath)
{
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(folderPath, &found);
    if (search == INVALID_HANDLE_VALUE)
        return false;
    FindClose(search);
    return found.dwFileAttributes == FILE_ATTRIBUTE_DIRECTORY;
}

bool EntryPresent(LPCWSTR path)
{
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(path, &found);
    if (search == INVALID_HANDLE_VALUE)
        return false;
    FindClose(search);
    return true;
}

// UNICODE: each code unit as two bytes, low byte first. ASCII: the device's ANSI code page,
// Windows-1252, one byte per code unit; a character it does not hold becomes '?'.
bool Encode(const std::u16string& line, ExportBytes* file)
{
    size_t start = file->bytes.size();
    if (file->unicode) {
        file->bytes.resize(start + 2 * line.size());
        char* out = &file->bytes[start];
        for (char16_t c : line) {
            *out++ = static_cast<char>(c & 0xFF);
            *out++ = static_cast<char>(c >> 8);
        }
    } else {
        if (line.size() > INT_MAX)
            return false;
        int length = static_cast<int>(line.size());
        file->bytes.resize(start + line.size());
        if (WideCharToMultiByte(CP_ACP, 0, line.data(), length, &file->bytes[start], length,
                                nullptr, nullptr) != length)
            return false;
    }
    file->lineEnds.push_back(file->bytes.size());
    return true;
}

bool MakeRecordsLines(DWORD timeType, ExportBytes* file)
{
    Reserve(Count(App.MainRecordList) + 1, file);
    std::u16string line;
    MakeRecordsHeader(timeType, &line);
    if (!Encode(line, file))
        return false;
    DWORD dateView = App.Settings->DateTypeView;
    DWORD timeView = App.Settings->TimeTypeView;
    for (RecordNode* record = First(App.MainRecordList); record;
         record = Next(App.MainRecordList)) {
        MakeRecordLine(record, timeType, dateView, timeView, &line);
        if (!Encode(line, file))
            return false;
    }
    return true;
}

bool MakeReportLines(DWORD timeType, ExportBytes* file)
{
    Reserve(Count(App.MainCategoryList) + 1, file);
    std::u16string line;
    MakeReportHeader(timeType, &line);
    if (!Encode(line, file))
        return false;
    DWORD timeView = App.Settings->TimeTypeView;
    for (CategoryNode* category = First(App.MainCategoryList); category;
         category = Next(App.MainCategoryList)) {
        MakeReportLine(category, timeType, timeView, &line);
        if (!Encode(line, file))
            return false;
    }
    return true;
}

// The file made whole in memory; false when there is no memory for it.
bool MakeBytes(LineMaker makeLines, DWORD timeType, ExportBytes* file)
{
    try {
        return makeLines(timeType, file);
    } catch (const std::bad_alloc&) {
        return false;
    }
}

// The new file, beside the old one when there is one. INVALID_HANDLE_VALUE, the person told,
// when it cannot be made: an old file that is read-only or in use cannot be replaced.
HANDLE CreateExportFile(LPCWSTR path, bool replacing)
{
    HANDLE file = CreateFileW(path, GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE)
        return file;
    DWORD error = GetLastError();
    bool inTheWay = replacing && (error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION);
    ShowExportMessage(inTheWay ? IDS_CANNOT_DELETE_FILE : IDS_CANNOT_CREATE_FILE, MB_ICONHAND);
    return INVALID_HANDLE_VALUE;
}

// One write per line. A failed write takes the new file back, and the close reports it again.
bool WriteLines(HANDLE file, const ExportBytes& bytes)
{
    size_t start = 0;
    for (size_t end : bytes.lineEnds) {
        DWORD written = 0;
        if (!WriteFile(file, bytes.bytes.data() + start, static_cast<DWORD>(end - start), &written,
                       nullptr))
            return false;
        start = end;
    }
    return true;
}

BOOL Export(LPCWSTR name, DWORD timeType, DWORD unicode, DWORD folder, LineMaker makeLines)
{
    std::u16string path;
    try {
        path.assign(FolderPath(folder)).append(u"\\").append(name).append(u".csv");
    } catch (const std::bad_alloc&) {
        ShowExportMessage(IDS_CANNOT_CREATE_FILE, MB_ICONHAND);
        return FALSE;
    }
    if (!FolderPresent(FolderPath(folder))) {
        ShowExportMessage(folder == 0 ? IDS_NO_BUSINESS_FOLDER : IDS_NO_PERSONAL_FOLDER,
                          MB_OK | MB_ICONEXCLAMATION);
        return FALSE;
    }
    bool replacing = EntryPresent(path.c_str());
    if (replacing &&
        ShowExportMessage(IDS_FILE_EXISTS_QUESTION, MB_YESNO | MB_ICONEXCLAMATION) != IDYES)
        return FALSE;

    ExportBytes bytes;
    bytes.unicode = unicode;
    if (!MakeBytes(makeLines, timeType, &bytes)) {
        ShowExportMessage(IDS_CANNOT_WRITE_FILE, MB_ICONHAND);
        return FALSE;
    }
    HANDLE file = CreateExportFile(path.c_str(), replacing);
    if (file == INVALID_HANDLE_VALUE)
        return FALSE;
    bool written = WriteLines(file, bytes);
    // The close puts the new file under its name; after a failed write it only closes.
    if (!CloseHandle(file) || !written) {
        ShowExportMessage(IDS_CANNOT_WRITE_FILE, MB_ICONHAND);
        return FALSE;
    }
    return TRUE;
}
} // namespace

BOOL ExportRecordsFile(LPCWSTR name, DWORD timeType, DWORD unicode, DWORD folder)
{
    if (!Usable(name, timeType, unicode, folder) || !App.MainRecordList)
        return FALSE;
    return Export(name, timeType, unicode, folder, MakeRecordsLines);
}

BOOL ExportReportFile(LPCWSTR name, DWORD timeType, DWORD unicode, DWORD folder)
{
    if (!Usable(name, timeType, unicode, folder) || !App.MainCategoryList ||
        !First(App.MainCategoryList))
        return FALSE;
    return Export(name, timeType, unicode, folder, MakeReportLines);
}
