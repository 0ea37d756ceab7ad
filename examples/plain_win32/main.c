/* A plain Win32 program in C, skinned by vexskin: a main dialog from a template with common
   controls and a menu, a message box and the open-file dialog. Skinning takes one call before the
   first window and one at the end; the Skin menu switches skins at run time.

     plain_win32.exe                      runs it for a person
     plain_win32.exe --self-test          drives it, checks what it shows, exits 0 when all is well
     plain_win32.exe --screenshots DIR    the same, saving a picture of each window in DIR */
#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>

#include <vexskin/vexskin_c.h>

#include "resource.h"
#include "self_test.h"

static vexskin_session *g_skin;

/* The skin stored in the program's resources: its bytes stay mapped as long as the program runs. */
static const void *resource_skin(DWORD *size) {
  HRSRC found = FindResourceW(NULL, MAKEINTRESOURCEW(IDR_SKIN), MAKEINTRESOURCEW(10) /* RT_RCDATA */);
  HGLOBAL loaded = found ? LoadResource(NULL, found) : NULL;
  *size = found ? SizeofResource(NULL, found) : 0;
  return loaded ? LockResource(loaded) : NULL;
}

static void report(HWND owner, vexskin_status status) {
  if (status != VEXSKIN_OK) MessageBoxW(owner, vexskin_last_error(), L"Skin", MB_OK | MB_ICONWARNING);
}

static void switch_skin(HWND dlg, int command) {
  DWORD size;
  const void *bytes;
  if (!g_skin) return;
  if (command == ID_SKIN_OFF) {
    report(dlg, vexskin_set_enabled(g_skin, 0));
    return;
  }
  report(dlg, vexskin_set_enabled(g_skin, 1));
  if (command == ID_SKIN_DARK) {
    /* A bare file name is looked for in the program's folder. */
    report(dlg, vexskin_load_file(g_skin, L"dark.vsk", NULL));
  } else {
    bytes = resource_skin(&size);
    report(dlg, vexskin_load_memory(g_skin, bytes, size, NULL));
  }
}

static void open_file(HWND dlg) {
  wchar_t name[MAX_PATH] = L"";
  OPENFILENAMEW ofn;
  ZeroMemory(&ofn, sizeof ofn);
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = dlg;
  ofn.lpstrFilter = L"Skins (*.vsk)\0*.vsk\0All files\0*.*\0";
  ofn.lpstrFile = name;
  ofn.nMaxFile = MAX_PATH;
  ofn.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_HIDEREADONLY;
  if (GetOpenFileNameW(&ofn)) SetDlgItemTextW(dlg, IDC_FILE, name);
}

static void fill_controls(HWND dlg) {
  static const wchar_t *colours[] = {L"Blue", L"Graphite", L"Olive"};
  static const wchar_t *items[] = {L"Title bar", L"Borders", L"Buttons", L"Check boxes", L"Scroll bars", L"Lists",
                                   L"Progress bars", L"Track bars", L"Menus"};
  int i;
  SetDlgItemTextW(dlg, IDC_NAME, L"Plain and simple");
  for (i = 0; i < 3; ++i) SendDlgItemMessageW(dlg, IDC_COLOUR, CB_ADDSTRING, 0, (LPARAM)colours[i]);
  SendDlgItemMessageW(dlg, IDC_COLOUR, CB_SETCURSEL, 0, 0);
  for (i = 0; i < 9; ++i) SendDlgItemMessageW(dlg, IDC_ITEMS, LB_ADDSTRING, 0, (LPARAM)items[i]);
  SendDlgItemMessageW(dlg, IDC_ITEMS, LB_SETCURSEL, 2, 0);
  CheckDlgButton(dlg, IDC_HINTS, BST_CHECKED);
  CheckRadioButton(dlg, IDC_SMALL, IDC_LARGE, IDC_SMALL);
  SendDlgItemMessageW(dlg, IDC_PROGRESS, PBM_SETPOS, 60, 0);
  SendDlgItemMessageW(dlg, IDC_LEVEL, TBM_SETRANGE, TRUE, MAKELPARAM(0, 10));
  SendDlgItemMessageW(dlg, IDC_LEVEL, TBM_SETPOS, TRUE, 4);
}

static INT_PTR CALLBACK main_dialog(HWND dlg, UINT msg, WPARAM wparam, LPARAM lparam) {
  (void)lparam;
  switch (msg) {
    case WM_INITDIALOG:
      fill_controls(dlg);
      self_test_attach(dlg, g_skin);
      return TRUE;
    case WM_TIMER:
      return self_test_tick(dlg, wparam);
    case WM_COMMAND:
      switch (LOWORD(wparam)) {
        case IDC_MESSAGE:
        case ID_HELP_ABOUT:
          MessageBoxW(dlg, L"Hello from a plain Win32 program, skinned by vexskin.", L"Message",
                      MB_OK | MB_ICONINFORMATION);
          return TRUE;
        case IDC_OPEN:
        case ID_FILE_OPEN:
          open_file(dlg);
          return TRUE;
        case ID_SKIN_LIGHT:
        case ID_SKIN_DARK:
        case ID_SKIN_OFF:
          switch_skin(dlg, LOWORD(wparam));
          return TRUE;
        case IDCANCEL:
        case ID_FILE_EXIT:
          EndDialog(dlg, 0);
          return TRUE;
      }
      break;
  }
  return FALSE;
}

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE previous, PWSTR command_line, int show) {
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_STANDARD_CLASSES | ICC_BAR_CLASSES | ICC_PROGRESS_CLASS};
  DWORD size;
  const void *skin = resource_skin(&size);
  (void)previous;
  (void)show;
  InitCommonControlsEx(&controls);
  self_test_parse(command_line);

  /* One call skins every dialog, message box and common dialog of this thread from now on. A skin
     that cannot be read leaves the program running as it would without vexskin. */
  if (vexskin_start_memory(skin, size, NULL, &g_skin) != VEXSKIN_OK && !self_test_active())
    MessageBoxW(NULL, vexskin_last_error(), L"Running without a skin", MB_OK | MB_ICONWARNING);

  DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_MAIN), NULL, main_dialog, 0);

  vexskin_end(g_skin);
  return self_test_exit_code();
}
