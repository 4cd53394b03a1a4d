// A stand-in for the 95/98 family's password.cpl, put in the Wine prefix's system folder. Each
// VerifyScreenSavePwd call appends a line to password_calls.txt in the current folder and
// answers with the number in password_answer.txt there (1 when there is none).
#include <windows.h>

#include <cstdio>

extern "C" __declspec(dllexport) BOOL WINAPI VerifyScreenSavePwd(HWND window) {
  if (FILE* log = std::fopen("password_calls.txt", "ab")) {
    std::fprintf(log, "VerifyScreenSavePwd %s\n", IsWindow(window) ? "window" : "no-window");
    std::fclose(log);
  }
  int answer = 1;
  if (FILE* file = std::fopen("password_answer.txt", "r")) {
    std::fscanf(file, "%d", &answer);  // leaves it 1 when there is no number
    std::fclose(file);
  }
  return answer != 0 ? TRUE : FALSE;
}

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
