// Starting programs. The device has one program besides the one running: the help viewer
// "peghelp.exe", which shows the help file named on its command line on the device's screen.
#pragma once

#include "platform/wintypes.h"

typedef struct _SECURITY_ATTRIBUTES {
    DWORD nLength;
    LPVOID lpSecurityDescriptor;
    BOOL bInheritHandle;
} SECURITY_ATTRIBUTES, *LPSECURITY_ATTRIBUTES;

typedef struct _STARTUPINFOW {
    DWORD cb;
    LPWSTR lpReserved;
    LPWSTR lpDesktop;
    LPWSTR lpTitle;
    DWORD dwX;
    DWORD dwY;
    DWORD dwXSize;
    DWORD dwYSize;
    DWORD dwXCountChars;
    DWORD dwYCountChars;
    DWORD dwFillAttribute;
    DWORD dwFlags;
    WORD wShowWindow;
    WORD cbReserved2;
    LPBYTE lpReserved2;
    HANDLE hStdInput;
    HANDLE hStdOutput;
    HANDLE hStdError;
} STARTUPINFOW, *LPSTARTUPINFOW;

typedef struct _PROCESS_INFORMATION {
    HANDLE hProcess;
    HANDLE hThread;
    DWORD dwProcessId;
    DWORD dwThreadId;
} PROCESS_INFORMATION, *LPPROCESS_INFORMATION;

// Starts `application` (or, when it is null, the program named first on `commandLine`) with the
// rest of the command line as its argument. "peghelp.exe" (any case, with or without the
// "\Windows\" folder) opens the help viewer on the file the command line names, a device path
// such as "\Windows\zentally.htc"; a missing file is shown as such by the viewer, as the
// handheld's viewer does. The viewer runs inside the device: `process` receives no handles,
// only an id. Any other program fails with ERROR_FILE_NOT_FOUND. The other arguments are not
// used.
BOOL CreateProcessW(LPCWSTR application, LPWSTR commandLine,
                    LPSECURITY_ATTRIBUTES processAttributes, LPSECURITY_ATTRIBUTES threadAttributes,
                    BOOL inheritHandles, DWORD creationFlags, LPVOID environment,
                    LPCWSTR currentDirectory, LPSTARTUPINFOW startupInfo,
                    LPPROCESS_INFORMATION process);
