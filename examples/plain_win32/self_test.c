#include "self_test.h"

#include <stdio.h>
#include <string.h>
#include <wchar.h>

#include "resource.h"

enum { TIMER_ID = 0x5E1F, TICK_MS = 100, PATIENCE = 100 };

/* The steps, each started by a tick once the one before is over. */
enum step { WAIT_MAIN, MESSAGE_BOX, OPEN_DIALOG, SWITCH_OFF_AND_ON, DARK_SKIN, BACK_TO_LIGHT, DONE };

static struct {
  int active;
  wchar_t folder[MAX_PATH];
  vexskin_session *skin;
  enum step step;
  int ticks;      /* ticks spent in this step */
  int modal_open; /* the step's modal window was seen, checked and told to close */
  int failures;
  COLORREF edge;  /* the skin's frame colour on the main dialog's left edge */
  RECT client;    /* the main dialog's client area */
} g;

static void check(int ok, const char *what) {
  printf("%s %s\n", ok ? "ok" : "FAILED", what);
  fflush(stdout);
  if (!ok) ++g.failures;
}

void self_test_parse(const wchar_t *command_line) {
  const wchar_t *at;
  if (wcsstr(command_line, L"--self-test")) g.active = 1;
  at = wcsstr(command_line, L"--screenshots ");
  if (at) {
    g.active = 1;
    at += wcslen(L"--screenshots ");
    while (*at == L' ') ++at;
    if (*at == L'"') ++at;
    wcsncpy(g.folder, at, MAX_PATH - 1);
    if (wcschr(g.folder, L'"')) *wcschr(g.folder, L'"') = 0;
  }
}

int self_test_active(void) { return g.active; }

int self_test_exit_code(void) { return g.failures; }

void self_test_attach(HWND dlg, vexskin_session *skin) {
  if (!g.active) return;
  g.skin = skin;
  check(skin != NULL, "skinning started from the skin in the program's resources");
  SetTimer(dlg, TIMER_ID, TICK_MS, NULL);
}

/* The colour halfway down a window's left edge, two pixels in: inside the skin's left border. */
static COLORREF left_edge(HWND w) {
  RECT r;
  HDC dc;
  COLORREF c;
  RedrawWindow(w, NULL, NULL, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  GetWindowRect(w, &r);
  dc = GetWindowDC(w);
  c = GetPixel(dc, 2, (r.bottom - r.top) / 2);
  ReleaseDC(w, dc);
  return c;
}

static int skinned(HWND w) {
  int answer = 0;
  return vexskin_window_skinned(g.skin, w, &answer) == VEXSKIN_OK && answer == 1;
}

static int same_client(HWND dlg) {
  RECT r;
  GetClientRect(dlg, &r);
  return r.right == g.client.right && r.bottom == g.client.bottom;
}

/* Saves the screen inside a rectangle as a 24-bit BMP file in the screenshot folder. */
static void save_picture(RECT r, const wchar_t *name) {
  wchar_t path[MAX_PATH * 2];
  const int w = r.right - r.left, h = r.bottom - r.top, stride = (w * 3 + 3) & ~3;
  BITMAPINFO bi;
  BITMAPFILEHEADER fh;
  void *bits = NULL;
  HDC screen, mem;
  HBITMAP dib;
  HGDIOBJ old;
  FILE *f;
  int ok = 0;
  if (!g.folder[0] || w <= 0 || h <= 0) return;
  ZeroMemory(&bi, sizeof bi);
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = w;
  bi.bmiHeader.biHeight = h;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 24;
  screen = GetDC(NULL);
  mem = CreateCompatibleDC(screen);
  dib = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, NULL, 0);
  if (dib) {
    old = SelectObject(mem, dib);
    BitBlt(mem, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
    SelectObject(mem, old);
    GdiFlush();
    swprintf(path, MAX_PATH * 2, L"%ls\\%ls", g.folder, name);
    f = _wfopen(path, L"wb");
    if (f) {
      ZeroMemory(&fh, sizeof fh);
      fh.bfType = 0x4D42; /* "BM" */
      fh.bfOffBits = sizeof fh + sizeof bi.bmiHeader;
      fh.bfSize = fh.bfOffBits + (DWORD)stride * (DWORD)h;
      ok = fwrite(&fh, sizeof fh, 1, f) == 1 && fwrite(&bi.bmiHeader, sizeof bi.bmiHeader, 1, f) == 1 &&
           fwrite(bits, (size_t)stride * (size_t)h, 1, f) == 1;
      ok = fclose(f) == 0 && ok;
    }
    DeleteObject(dib);
  }
  DeleteDC(mem);
  ReleaseDC(NULL, screen);
  printf("%s %ls\n", ok ? "saved" : "FAILED to save", name);
  fflush(stdout);
  if (!ok) ++g.failures;
}

static RECT area_of(HWND w) {
  RECT r;
  GetWindowRect(w, &r);
  return r;
}

static RECT both(HWND a, HWND b) {
  RECT ra = area_of(a), rb = area_of(b), u;
  UnionRect(&u, &ra, &rb);
  return u;
}

/* The step's modal window (a dialog of the system above the main dialog) once it shows; NULL
   before. */
static HWND shown_modal(HWND dlg) {
  wchar_t cls[16] = L"";
  HWND w = GetActiveWindow();
  if (!w || w == dlg || !IsWindowVisible(w)) return NULL;
  GetClassNameW(w, cls, 16);
  return wcscmp(cls, L"#32770") == 0 ? w : NULL;
}

static void next(enum step s) {
  g.step = s;
  g.ticks = 0;
  g.modal_open = 0;
}

/* A step that opens a modal window through the program's own command: opens it, checks it
   skinned in the main dialog's skin, pictures it, closes it, and moves on once it has gone. */
static void modal_step(HWND dlg, WORD command, WORD close, const char *what, const wchar_t *picture, enum step then) {
  HWND w;
  char line[160];
  if (g.ticks == 1) {
    PostMessageW(dlg, WM_COMMAND, command, 0);
    return;
  }
  if (g.modal_open) {
    if (GetActiveWindow() == dlg) next(then);
    return;
  }
  w = shown_modal(dlg);
  if (w) {
    snprintf(line, sizeof line, "the %s is skinned", what);
    check(skinned(w), line);
    snprintf(line, sizeof line, "the %s's frame shows the skin's border colour", what);
    check(left_edge(w) == g.edge, line);
    RedrawWindow(dlg, NULL, NULL, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    RedrawWindow(w, NULL, NULL, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    save_picture(both(dlg, w), picture);
    PostMessageW(w, WM_COMMAND, close, 0);
    g.modal_open = 1;
  } else if (g.ticks > PATIENCE) {
    snprintf(line, sizeof line, "the %s came up", what);
    check(0, line);
    if (w) PostMessageW(w, WM_COMMAND, IDCANCEL, 0);
    next(then);
  }
}

INT_PTR self_test_tick(HWND dlg, WPARAM timer) {
  COLORREF native, dark;
  if (timer != TIMER_ID || !g.active) return FALSE;
  ++g.ticks;
  switch (g.step) {
    case WAIT_MAIN:
      if (!IsWindowVisible(dlg)) break;
      check(skinned(dlg), "the main dialog is skinned");
      g.edge = left_edge(dlg);
      GetClientRect(dlg, &g.client);
      save_picture(area_of(dlg), L"plain-win32-1-main-dialog.bmp");
      next(MESSAGE_BOX);
      break;
    case MESSAGE_BOX:
      modal_step(dlg, IDC_MESSAGE, IDOK, "message box", L"plain-win32-2-message-box.bmp", OPEN_DIALOG);
      break;
    case OPEN_DIALOG:
      modal_step(dlg, IDC_OPEN, IDCANCEL, "open-file dialog", L"plain-win32-3-open-file-dialog.bmp", SWITCH_OFF_AND_ON);
      break;
    case SWITCH_OFF_AND_ON:
      SendMessageW(dlg, WM_COMMAND, ID_SKIN_OFF, 0);
      native = left_edge(dlg);
      check(!skinned(dlg) && native != g.edge, "switched off, the main dialog shows its own frame");
      SendMessageW(dlg, WM_COMMAND, ID_SKIN_LIGHT, 0);
      check(skinned(dlg) && left_edge(dlg) == g.edge && same_client(dlg), "switched on, the skin is back at the same size");
      next(DARK_SKIN);
      break;
    case DARK_SKIN:
      SendMessageW(dlg, WM_COMMAND, ID_SKIN_DARK, 0);
      dark = left_edge(dlg);
      check(skinned(dlg) && dark != g.edge, "the dark skin from dark.vsk repaints the main dialog");
      check(same_client(dlg), "the main dialog keeps its size in the dark skin");
      save_picture(area_of(dlg), L"plain-win32-4-dark-skin.bmp");
      next(BACK_TO_LIGHT);
      break;
    case BACK_TO_LIGHT:
      SendMessageW(dlg, WM_COMMAND, ID_SKIN_LIGHT, 0);
      check(left_edge(dlg) == g.edge, "the skin from the program's resource shows again");
      next(DONE);
      break;
    case DONE:
      KillTimer(dlg, TIMER_ID);
      printf("%d check(s) failed\n", g.failures);
      fflush(stdout);
      EndDialog(dlg, 0);
      break;
  }
  return TRUE;
}
