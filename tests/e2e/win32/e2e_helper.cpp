// e2e_helper.exe: the end-to-end tests' hands on the Windows side, by its first argument:
//   running-copy main|dialog: a stand-in window captioned "Vorn_Main" or "Vornの設定"
//   preview area|in-process LEFT TOP WIDTH HEIGHT [MS]: a preview area (a popup, destroyed MS ms
//     after the preview shows) for the test's "Vorn.scr /p <handle>" or for ShowVornR in-process.
//     It prints "area <handle>", "child <handle> at <x> <y> size <w> <h>" once the preview shows
//     in it, "destroyed", and in-process "ended" once the preview's loop has ended.
//   display on|off, power battery|mains: tells the running saver the display's power or the power
//     source, as the system does
//   message-text <caption>: the message box so captioned: "owner <its owner's caption>", then
//     the texts of its static controls, a line each (UTF-8)
//   accessible [<child> set <value>|do]: the settings dialog through oleacc, as a screen reader
//     reads it: first "result <HRESULT>" of put_accValue or accDoDefaultAction on that child of its
//     client area; then a line each child and (first field "focus") the window with the keys:
//     "id role state left top width height name value action keys", tab-separated (UTF-8)
#include <windows.h>
// after windows.h, which it needs
#include <oleacc.h>

#include <cstdio>
#include <cwchar>
#include <string>

#include "preview_window/preview.h"
#include "win32/win32_platform.h"

namespace {

constexpr UINT_PTR kWatchTimer = 1, kDestroyTimer = 2;
constexpr UINT kWatchIntervalMs = 20;
constexpr int kExitUsage = 2, kTextChars = 1024;  // a message box's text, read whole

UINT destroyAfterMs = 0;  // 0: the area stays

unsigned long long Number(HWND window) { return reinterpret_cast<ULONG_PTR>(window); }

// Once the preview window shows inside the area it is reported, and the countdown starts.
void WatchForPreview(HWND window) {
  HWND child = GetWindow(window, GW_CHILD);
  if (child == nullptr || !IsWindowVisible(child)) return;
  KillTimer(window, kWatchTimer);
  RECT place{};
  GetWindowRect(child, &place);
  MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&place), 2);
  std::printf("child %llu at %ld %ld size %ld %ld\n", Number(child), place.left, place.top,
              place.right - place.left, place.bottom - place.top);
  if (destroyAfterMs > 0) SetTimer(window, kDestroyTimer, destroyAfterMs, nullptr);
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_TIMER && wparam == kWatchTimer) WatchForPreview(window);
  if (message == WM_TIMER && wparam == kDestroyTimer) DestroyWindow(window);
  if (message == WM_DESTROY) std::printf("destroyed\n"), PostQuitMessage(0);
  if (message == WM_TIMER || message == WM_DESTROY) return 0;
  return DefWindowProcW(window, message, wparam, lparam);
}

HWND MakeWindow(const wchar_t* caption, DWORD style, COLORREF colour, const RECT& area) {
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.hbrBackground = CreateSolidBrush(colour);  // lives as long as the process
  windowClass.lpszClassName = L"VornE2eHelper";
  RegisterClassW(&windowClass);
  return CreateWindowExW(0, windowClass.lpszClassName, caption, style, area.left, area.top,
                         area.right - area.left, area.bottom - area.top, nullptr, nullptr,
                         windowClass.hInstance, nullptr);
}

int Serve() {  // until the window is destroyed, or the process killed
  MSG message{};
  while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
  return 0;
}

int RunningCopy(const std::wstring& keyword) {
  MakeWindow(keyword == L"main" ? L"Vorn_Main" : L"Vorn\u306e\u8a2d\u5b9a",
             WS_OVERLAPPEDWINDOW | WS_VISIBLE, RGB(0x20, 0xC0, 0x60), {100, 80, 420, 280});
  return Serve();
}

int Preview(int argc, wchar_t** argv) {
  if (argc != 7 && argc != 8) return kExitUsage;
  destroyAfterMs = argc == 8 ? static_cast<UINT>(std::wcstoul(argv[7], nullptr, 10)) : 0;
  long place[4] = {};  // left, top, width, height
  for (int i = 0; i < 4; ++i) place[i] = std::wcstol(argv[3 + i], nullptr, 10);
  HWND window = MakeWindow(L"Vorn preview host", WS_POPUP | WS_CLIPCHILDREN | WS_VISIBLE,
                           RGB(0xFF, 0x00, 0xFF),
                           {place[0], place[1], place[0] + place[2], place[1] + place[3]});
  std::printf("area %llu\n", Number(window));
  SetTimer(window, kWatchTimer, kWatchIntervalMs, nullptr);
  if (std::wstring(argv[2]) != L"in-process") return Serve();
  vorn::win32::Win32Platform platform(GetModuleHandleW(nullptr));
  vorn::ShowVornR(platform, vorn::win32::FromHwnd(window));
  platform.RunPreviewMessageLoop();  // it serves the area too
  std::printf("ended\n");
  return 0;
}

// A power-setting notification with its four bytes of data, written into the saver's memory (a
// message's pointer is read in the receiving process) and posted to its window.
int PowerSetting(const GUID& setting, DWORD value) {
  const HWND saver = FindWindowW(nullptr, L"Vorn_Main");
  DWORD pid = 0;
  GetWindowThreadProcessId(saver, &pid);
  const HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, pid);
  if (saver == nullptr || process == nullptr) return kExitUsage;
  const struct {  // POWERBROADCAST_SETTING with a DWORD of data
    GUID setting;
    DWORD length, value;
  } notification{setting, sizeof(DWORD), value};
  void* copy = VirtualAllocEx(process, nullptr, sizeof(notification), MEM_COMMIT, PAGE_READWRITE);
  WriteProcessMemory(process, copy, &notification, sizeof(notification), nullptr);
  PostMessageW(saver, WM_POWERBROADCAST, PBT_POWERSETTINGCHANGE, reinterpret_cast<LPARAM>(copy));
  CloseHandle(process);
  return 0;
}

// The console's display on or off; the power source mains (0) or battery (1).
constexpr GUID kConsoleDisplayState = {
    0x6FE69556, 0x704A, 0x47A0, {0x8F, 0x24, 0xC2, 0x8D, 0x93, 0x6F, 0xDA, 0x47}};
constexpr GUID kPowerSource = {
    0x5D3E9A59, 0xE9D5, 0x4B00, {0xA6, 0xBD, 0xFF, 0x34, 0xFF, 0x51, 0x65, 0x48}};

void PrintUtf8(const char* prefix, HWND window) {
  wchar_t text[kTextChars] = {};
  char utf8[kTextChars * 3] = {};  // three bytes at most for each UTF-16 unit
  GetWindowTextW(window, text, kTextChars);
  WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8, sizeof(utf8), nullptr, nullptr);
  std::printf("%s%s\n", prefix, utf8);
}

BOOL CALLBACK PrintStaticText(HWND child, LPARAM) {
  wchar_t className[kTextChars] = {};
  GetClassNameW(child, className, kTextChars);
  if (_wcsicmp(className, L"Static") == 0 && GetWindowTextLengthW(child) > 0) PrintUtf8("", child);
  return TRUE;
}

int MessageText(const wchar_t* caption) {
  const HWND box = FindWindowW(L"#32770", caption);
  if (box == nullptr) return kExitUsage;
  PrintUtf8("owner ", GetWindow(box, GW_OWNER));
  EnumChildWindows(box, PrintStaticText, 0);
  return 0;
}

std::string Utf8(BSTR text) {
  char utf8[kTextChars * 3] = {};
  if (text != nullptr)
    WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8, sizeof(utf8), nullptr, nullptr);
  SysFreeString(text);
  return utf8;
}

IAccessible* ClientObject(HWND window) {
  // IID_IAccessible spelled out: the import library's is one that Wine's objects refuse.
  constexpr GUID kAccessible{
      0x618736E0, 0x3C3D, 0x11CF, {0x81, 0x0C, 0, 0xAA, 0, 0x38, 0x9B, 0x71}};
  void* object = nullptr;
  AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT), kAccessible, &object);
  return static_cast<IAccessible*>(object);
}

void PrintElement(IAccessible* object, VARIANT child, const char* first) {
  BSTR text[4] = {};
  VARIANT role{}, state{};
  LONG place[4] = {};
  object->get_accName(child, &text[0]), object->get_accValue(child, &text[1]);
  object->get_accDefaultAction(child, &text[2]), object->get_accKeyboardShortcut(child, &text[3]);
  object->get_accRole(child, &role), object->get_accState(child, &state);
  object->accLocation(&place[0], &place[1], &place[2], &place[3], child);
  std::printf("%s\t%lx\t%lx\t%ld %ld %ld %ld", first, role.lVal, state.lVal, place[0], place[1],
              place[2], place[3]);
  for (BSTR field : text) std::printf("\t%s", Utf8(field).c_str());
  std::printf("\n");
}

int Accessible(int argc, wchar_t** argv) {
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  const HWND dialog = FindWindowW(nullptr, L"Vorn\u306e\u8a2d\u5b9a");
  IAccessible* client = ClientObject(dialog);
  if (client == nullptr) return kExitUsage;
  if (argc >= 4) {
    VARIANT child{};
    child.vt = VT_I4, child.lVal = std::wcstol(argv[2], nullptr, 10);
    const std::wstring verb = argv[3];
    const HRESULT result = verb == L"do" ? client->accDoDefaultAction(child)
                           : argc == 5   ? client->put_accValue(child, SysAllocString(argv[4]))
                                         : E_INVALIDARG;
    std::printf("result %lx\n", static_cast<unsigned long>(result));
  }
  VARIANT children[16] = {};
  LONG count = 0;
  AccessibleChildren(client, 0, 16, children, &count);
  for (LONG i = 0; i < count; ++i) {
    PrintElement(client, children[i], std::to_string(children[i].lVal).c_str());
  }
  GUITHREADINFO thread{};
  thread.cbSize = sizeof(thread);
  GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &thread);
  VARIANT self{};
  self.vt = VT_I4;  // CHILDID_SELF
  if (IAccessible* focus = ClientObject(thread.hwndFocus)) PrintElement(focus, self, "focus");
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  std::setvbuf(stdout, nullptr, _IONBF, 0);  // each report is read as soon as it is written
  const std::wstring command = argc >= 2 ? argv[1] : L"";
  if (command == L"running-copy" && argc == 3) return RunningCopy(argv[2]);
  if (command == L"preview") return Preview(argc, argv);
  if (command == L"display" && argc == 3)
    return PowerSetting(kConsoleDisplayState, std::wstring(argv[2]) == L"on");
  if (command == L"power" && argc == 3)
    return PowerSetting(kPowerSource, std::wstring(argv[2]) == L"battery");
  if (command == L"message-text" && argc == 3) return MessageText(argv[2]);
  if (command == L"accessible") return Accessible(argc, argv);
  std::fputs("usage: e2e_helper <command> ... (the commands: its source)\n", stderr);
  return kExitUsage;
}
