// exact_command_line.exe <program> <argument text> <budget ms>
//
// Starts <program> with the command line "<program>" <argument text>, the
// argument text exactly as given: blanks in a row and all, which a start
// through wine's own argument list cannot give (it quotes such an argument).
// Waits for the program's end and reports one line on standard output:
//   exit <code> after <ms> ms
//   running after <ms> ms      it had not ended within the budget (it is then
//                              terminated)
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

namespace {

constexpr int kExitUsage = 2;
constexpr int kExitNoProcess = 4;
constexpr int kArgumentCount = 4;
constexpr int kDecimal = 10;

int Run(const wchar_t* program, const wchar_t* argumentText, DWORD budgetMs) {
  std::wstring commandLine = L"\"" + std::wstring(program) + L"\" " + argumentText;
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  const DWORD started = GetTickCount();
  if (!CreateProcessW(program, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process)) {
    std::printf("cannot start: error %lu\n", GetLastError());
    return kExitNoProcess;
  }
  CloseHandle(process.hThread);
  const DWORD waited = WaitForSingleObject(process.hProcess, budgetMs);
  const DWORD elapsed = GetTickCount() - started;
  if (waited == WAIT_OBJECT_0) {
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    std::printf("exit %lu after %lu ms\n", code, elapsed);
  } else {
    std::printf("running after %lu ms\n", elapsed);
    TerminateProcess(process.hProcess, 1);
  }
  std::fflush(stdout);
  CloseHandle(process.hProcess);
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != kArgumentCount) {
    std::printf("usage: exact_command_line.exe <program> <argument text> <budget ms>\n");
    return kExitUsage;
  }
  const auto budget = static_cast<DWORD>(std::wcstoul(argv[3], nullptr, kDecimal));
  return Run(argv[1], argv[2], budget);
}
