// The gallery: a small application built with the host framework, the product's showcase.
//   gallery.exe                 runs it for a person
//   gallery.exe --tour FOLDER   opens every window in turn and saves a screenshot of each
#include <windows.h>

#include <iostream>
#include <string>

#include "engine/skin_engine.h"
#include "gallery_form.h"
#include "host/application.h"
#include "host/form_stream.h"
#include "tour.h"
#include "vexskin/vexskin.h"

int wmain(int argc, wchar_t** argv) {
  using namespace vex;
  std::wstring tourFolder;
  for (int i = 1; i < argc; ++i) {
    const std::wstring a = argv[i];
    if (a == L"--tour" && i + 1 < argc) {
      tourFolder = argv[++i];
    } else if (a == L"--interactive") {
      tourFolder.clear();
    } else {
      std::wcerr << L"usage: gallery [--tour FOLDER | --interactive]\n";
      return 64;
    }
  }
  try {
    host::TApplication& app = host::Application();
    auto* form = new gallery::TGalleryForm(nullptr);
    // The stored part of the main form holds the skin engine with the default skin inside it.
    InitializeSkinning();
    host::ReadComponentText(host::ReadFormResourceText(L"GALLERYFORM"), *form);
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
