// What a long run is watched for: for every process whose program file name
// ends with one of the given names, the handles it holds, and its GDI and
// USER objects:
//   resource_counts NAME...   ->   one line "INDEX HANDLES GDI USER" per process,
// INDEX being the name's place among the arguments (from 1).
// The handle count is the kernel's (the wineserver's under Wine).  Wine
// answers GetGuiResources with 0; there the GDI objects are the filled
// entries of the process's own GDI handle table (its PEB's
// GdiSharedHandleTable), and the USER objects its windows.
#include <windows.h>
#include <tlhelp32.h>
#include <winternl.h>

#include <cstdio>
#include <cwchar>
#include <vector>

namespace {

long HandleCount(DWORD pid) {
  std::vector<unsigned char> buffer(1 << 20);
  ULONG needed = 0;
  while (NtQuerySystemInformation(SystemProcessInformation, buffer.data(), ULONG(buffer.size()), &needed) != 0) {
    if (buffer.size() > (64u << 20)) return -1;
    buffer.resize(buffer.size() * 2);
  }
  for (std::size_t at = 0;;) {
    auto* info = reinterpret_cast<SYSTEM_PROCESS_INFORMATION*>(buffer.data() + at);
    if (DWORD(reinterpret_cast<ULONG_PTR>(info->UniqueProcessId)) == pid) return long(info->HandleCount);
    if (!info->NextEntryOffset) return -1;
    at += info->NextEntryOffset;
  }
}

// A GDI handle table entry as Wine lays it out (24 bytes, 0x10000 of them).
struct GdiEntry {
  UINT64 object;
  ULONG owner;
  USHORT unique;  // its low byte's top bit marks a stock object
  UCHAR type;
  UCHAR flags;
  UINT64 user;
};

long GdiObjectsFromTable(HANDLE process) {
  PROCESS_BASIC_INFORMATION basic = {};
  if (NtQueryInformationProcess(process, ProcessBasicInformation, &basic, sizeof basic, nullptr) != 0) return -1;
  const std::size_t tableField = sizeof(void*) == 8 ? 0xF8 : 0x94;  // PEB.GdiSharedHandleTable
  void* table = nullptr;
  SIZE_T got = 0;
  if (!ReadProcessMemory(process, static_cast<char*>(static_cast<void*>(basic.PebBaseAddress)) + tableField, &table,
                         sizeof table, &got) || !table)
    return -1;
  std::vector<GdiEntry> entries(0x10000);
  if (!ReadProcessMemory(process, table, entries.data(), entries.size() * sizeof(GdiEntry), &got)) return -1;
  long count = 0;
  for (const GdiEntry& entry : entries) count += entry.type != 0 && !(entry.unique & 0x80);
  return count;
}

struct WindowCount {
  DWORD pid;
  long count;
};

BOOL CALLBACK CountWindow(HWND window, LPARAM data) {
  auto* windows = reinterpret_cast<WindowCount*>(data);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  if (pid == windows->pid) ++windows->count;
  return TRUE;
}

BOOL CALLBACK CountTopWindow(HWND window, LPARAM data) {
  CountWindow(window, data);
  EnumChildWindows(window, CountWindow, data);
  return TRUE;
}

long UserObjectsAsWindows(DWORD pid) {
  WindowCount windows = {pid, 0};
  EnumWindows(CountTopWindow, reinterpret_cast<LPARAM>(&windows));
  return windows.count;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return 1;
  PROCESSENTRY32W entry = {};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry)) {
    for (int i = 1; i < argc; ++i) {
      const std::size_t name = std::wcslen(argv[i]), file = std::wcslen(entry.szExeFile);
      if (file < name || _wcsicmp(entry.szExeFile + file - name, argv[i]) != 0) continue;
      const DWORD pid = entry.th32ProcessID;
      HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
      long gdi = -1, user = -1;
      if (process) {
        gdi = long(GetGuiResources(process, GR_GDIOBJECTS));
        user = long(GetGuiResources(process, GR_USEROBJECTS));
        if (gdi == 0) gdi = GdiObjectsFromTable(process);
        if (user == 0) user = UserObjectsAsWindows(pid);
        CloseHandle(process);
      }
      std::printf("%d %ld %ld %ld\n", i, HandleCount(pid), gdi, user);
    }
  }
  CloseHandle(snapshot);
  return 0;
}
