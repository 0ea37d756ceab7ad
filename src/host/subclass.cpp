#include "host/subclass.h"

#include <commctrl.h>

#include <cwchar>
#include <mutex>
#include <type_traits>
#include <unordered_map>
#include <vector>

namespace vex::host {

namespace {

struct TEntry {
  TSubclassProc proc;
  UINT_PTR id;
  DWORD_PTR data;
  bool removed;
};

struct TChain {
  WNDPROC original = nullptr;
  // An ANSI window (made with the A functions) becomes a Unicode one while the chain's procedure,
  // set with SetWindowLongPtrW, is its procedure: it gets its procedure back through
  // SetWindowLongPtrA, as the A functions saw it, and is an ANSI window again.
  bool ansi = false;
  LONG_PTR originalA = 0;
  std::vector<TEntry> entries;  // bottom first: the last one set runs first
  int next = -1;                // the entry DefSubclass calls next; -1 the window's own procedure
  int running = 0;              // calls of the chain in progress (messages sent inside messages)
  bool destroyed = false;       // WM_NCDESTROY went through: dropped once no call runs
};

// Windows of every thread of the process; each chain is only used on its window's thread, the
// lock guards the table itself. Never freed: windows can outlive the static objects at exit.
struct TTable {
  std::mutex lock;
  std::unordered_map<HWND, TChain*> chains;
};

TTable& Table() {
  static TTable* table = new TTable;
  return *table;
}

LRESULT CALLBACK ChainProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);

// A window property marks a window whose chain is in the table (read only when a subclass is set,
// never per message): a window destroyed behind the chain's back (someone above it gave the window
// an older procedure back, so the chain never saw WM_NCDESTROY) leaves a stale entry, which a new
// window of the same handle must not take for its own. The name is this copy's own: a program may
// hold two copies of this code (its own and a DLL's), whose chains can stand on one window, and
// one copy must neither read the other's mark as its own nor take it away.
// (Kept in an object without a destructor: windows destroyed at exit, after the static objects,
// still pass their last message through the chain.)
const wchar_t* Mark() {
  struct TName {
    wchar_t text[48];
    TName() { swprintf(text, sizeof text / sizeof text[0], L"VexSubclassChain:%p", reinterpret_cast<void*>(&ChainProc)); }
  };
  static_assert(std::is_trivially_destructible_v<TName>);
  static const TName name;
  return name.text;
}

// A chain left in place under another subclass runs this module's code for as long as the window
// lives: the module must not be unloaded under it (a DLL whose program ends its use of it and frees
// it). Pinned once, for good.
void KeepModuleLoaded() {
  static std::once_flag once;
  std::call_once(once, [] {
    HMODULE self = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                       reinterpret_cast<LPCWSTR>(reinterpret_cast<void*>(&ChainProc)), &self);
  });
}

TChain* Find(HWND window) {
  TTable& t = Table();
  std::lock_guard<std::mutex> hold(t.lock);
  const auto it = t.chains.find(window);
  return it == t.chains.end() ? nullptr : it->second;
}

void Drop(HWND window, TChain* chain) {
  {
    TTable& t = Table();
    std::lock_guard<std::mutex> hold(t.lock);
    const auto it = t.chains.find(window);
    if (it != t.chains.end() && it->second == chain) t.chains.erase(it);
  }
  delete chain;
}

// A window the common controls subclassed already keeps their chain for ours too: when their last
// procedure goes they give the window the procedure they found, whatever came after them, which
// would cut a chain of ours set on top of theirs. (Their chain is found by the property they keep;
// Wine's and older Windows' name, and version 6's.)
bool CommonControlsSubclassed(HWND window) {
  return GetPropW(window, L"CC32SubclassInfo") != nullptr || GetPropW(window, L"UxSubclassInfo") != nullptr;
}

// Calls the next live procedure below the chain's position (the window's own at the bottom); the
// position is back where it was afterwards, so a procedure may pass on more than one message.
LRESULT CallDown(TChain& chain, HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  const int at = chain.next;
  int i = at;
  while (i >= 0 && chain.entries[static_cast<std::size_t>(i)].removed) --i;
  if (i < 0) return CallWindowProcW(chain.original, window, msg, wParam, lParam);
  const TEntry e = chain.entries[static_cast<std::size_t>(i)];
  chain.next = i - 1;
  // Put back however the call ends (an exception a procedure lets out passes through here).
  struct TRestore {
    TChain& c;
    int at;
    ~TRestore() { c.next = at; }
  } restore{chain, at};
  return e.proc(window, msg, wParam, lParam, e.id, e.data);
}

// With no call running: removed entries go; a destroyed window's chain goes; an empty chain
// gives the window its procedure back when it is still the chain's (else it stays, passing on).
void Tidy(HWND window, TChain* chain) {
  if (chain->running > 0) return;
  std::vector<TEntry>& e = chain->entries;
  for (std::size_t i = e.size(); i-- > 0;)
    if (e[i].removed) e.erase(e.begin() + static_cast<std::ptrdiff_t>(i));
  if (chain->destroyed) {
    Drop(window, chain);
    return;
  }
  if (!e.empty()) return;
  if (reinterpret_cast<WNDPROC>(GetWindowLongPtrW(window, GWLP_WNDPROC)) != ChainProc) {
    KeepModuleLoaded();
    return;
  }
  if (chain->ansi)
    SetWindowLongPtrA(window, GWLP_WNDPROC, chain->originalA);
  else
    SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(chain->original));
  RemovePropW(window, Mark());
  Drop(window, chain);
}

LRESULT CALLBACK ChainProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  TChain* chain = Find(window);
  if (!chain) return DefWindowProcW(window, msg, wParam, lParam);
  LRESULT result;
  {
    // The call's own position and count, put back however the call ends.
    struct TRun {
      TChain& c;
      int saved;
      explicit TRun(TChain& chain) : c(chain), saved(chain.next) {
        c.next = static_cast<int>(c.entries.size()) - 1;
        ++c.running;
      }
      ~TRun() {
        --c.running;
        c.next = saved;
      }
    } run(*chain);
    result = CallDown(*chain, window, msg, wParam, lParam);
  }
  if (msg == WM_NCDESTROY && !chain->destroyed) {
    // A window is to be rid of its properties before its last message returns.
    chain->destroyed = true;
    RemovePropW(window, Mark());
  }
  Tidy(window, chain);
  return result;
}

}  // namespace

bool SetSubclass(HWND window, TSubclassProc proc, UINT_PTR id, DWORD_PTR data) {
  if (!proc || !window || !IsWindow(window) || GetWindowThreadProcessId(window, nullptr) != GetCurrentThreadId()) return false;
  if (TChain* chain = Find(window); chain && GetPropW(window, Mark()) != chain && chain->running == 0) {
    Drop(window, chain);  // a stale chain of a destroyed window of the same handle
  }
  if (TChain* chain = Find(window)) {
    if (chain->destroyed) return false;
    for (TEntry& e : chain->entries)
      if (!e.removed && e.proc == proc && e.id == id) {
        e.data = data;
        return true;
      }
    chain->entries.push_back(TEntry{proc, id, data, false});
    return true;
  }
  if (CommonControlsSubclassed(window)) return SetWindowSubclass(window, proc, id, data) != FALSE;
  auto* chain = new TChain;
  chain->entries.push_back(TEntry{proc, id, data, false});
  chain->ansi = !IsWindowUnicode(window);
  if (chain->ansi) chain->originalA = GetWindowLongPtrA(window, GWLP_WNDPROC);
  {
    TTable& t = Table();
    std::lock_guard<std::mutex> hold(t.lock);
    t.chains[window] = chain;
  }
  SetLastError(0);
  const LONG_PTR old = SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ChainProc));
  if (old == 0 && GetLastError() != 0) {
    Drop(window, chain);
    return false;
  }
  chain->original = reinterpret_cast<WNDPROC>(old);
  SetPropW(window, Mark(), chain);
  return true;
}

bool RemoveSubclass(HWND window, TSubclassProc proc, UINT_PTR id) {
  TChain* chain = Find(window);
  if (!chain) return RemoveWindowSubclass(window, proc, id) != FALSE;
  if (GetWindowThreadProcessId(window, nullptr) != GetCurrentThreadId()) return false;
  for (TEntry& e : chain->entries)
    if (!e.removed && e.proc == proc && e.id == id) {
      e.removed = true;
      Tidy(window, chain);
      return true;
    }
  return false;
}

LRESULT DefSubclass(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  TChain* chain = Find(window);
  if (!chain) return DefSubclassProc(window, msg, wParam, lParam);
  return CallDown(*chain, window, msg, wParam, lParam);
}

}  // namespace vex::host
