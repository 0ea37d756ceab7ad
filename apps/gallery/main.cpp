// The gallery: a small application built with the host framework, the product's showcase.
//   gallery.exe                 runs it for a person
//   gallery.exe --tour FOLDER   opens every window in turn and saves a screenshot of each
//   gallery.exe --first-paint EVENT [--unskinned]
//                               shows the main window, signals the named event once it is painted
//                               and ends (the start-up benchmark); --unskinned reads the stored
//                               engine switched off; exits 2 when the window is not as asked
#include <windows.h>

#include <iostream>
#include <string>

#include "engine/skin_engine.h"
#include "engine/skin_window.h"
#include "gallery_form.h"
#include "host/application.h"
#include "host/dpi.h"
#include "host/form_stream.h"
#include "tour.h"
#include "vexskin/vexskin.h"

int wmain(int argc, wchar_t** argv) {
  using namespace vex;
  // Sharp on every monitor: the windows scale themselves (before the first window is made).
  host::DeclarePerMonitorDpiAwareness();
  std::wstring tourFolder, firstPaintEvent;
  bool unskinned = false;
  for (int i = 1; i < argc; ++i) {
    const std::wstring a = argv[i];
    if (a == L"--tour" && i + 1 < argc) {
      tourFolder = argv[++i];
    } else if (a == L"--first-paint" && i + 1 < argc) {
      firstPaintEvent = argv[++i];
    } else if (a == L"--unskinned") {
      unskinned = true;
    } else if (a == L"--interactive") {
      tourFolder.clear();
    } else {
      std::wcerr << L"usage: gallery [--tour FOLDER | --first-paint EVENT [--unskinned] | --interactive]\n";
      return 64;
    }
  }
  try {
    host::TApplication& app = host::Application();
    auto* form = new gallery::TGalleryForm(nullptr);
    // The stored part of the main form holds the skin engine with the default skin inside it.
    InitializeSkinning();
    std::string text = host::ReadFormResourceText(L"GALLERYFORM");
    if (unskinned) {
      // The same stored form with its engine switched off.
      const std::string on = "Active = True", off = "Active = False";
      if (const auto at = text.find(on); at != std::string::npos) text.replace(at, on.size(), off);
    }
    host::ReadComponentText(text, *form);
    if (!firstPaintEvent.empty()) {
      form->Show();
      UpdateWindow(form->Handle());
      app.ProcessMessages();
      const bool skinned = SendMessageW(form->Handle(), engine::SKM_QUERYSKINNED, 0, 0) == 1 && form->Engine() &&
                           form->Engine()->FindFrame(form->Handle()) && form->Engine()->FindFrame(form->Handle())->Skinned();
      if (HANDLE e = OpenEventW(EVENT_MODIFY_STATE, FALSE, firstPaintEvent.c_str())) {
        SetEvent(e);
        CloseHandle(e);
      }
      host::TComponent::Free(form);
      return skinned == !unskinned ? 0 : 2;
    }
    if (!tourFolder.empty()) {
      const int failures = gallery::RunTour(*form, tourFolder);
      host::TComponent::Free(form);
      return failures == 0 ? 0 : 1;
    }
    app.Run();
    host::TComponent::Free(form);
  } catch (const std::exception& e) {
    std::cerr << "gallery: " << e.what() << "\n";
    return 1;
  }
  return 0;
}
