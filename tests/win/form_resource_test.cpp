// Forms stored in the executable's resources and in files.
#include <windows.h>

#include <gtest/gtest.h>

#include "host/form_stream.h"
#include "host/prop_builder.h"
#include "host/text_encoding.h"
#include "test_support.h"

namespace vex::host {
namespace {

class TFormProbe : public TComponent {
  VEX_CLASS(TFormProbe)
 public:
  explicit TFormProbe(TComponent* owner) : TComponent(owner, StaticClass()) {}
  std::wstring caption;
};

const TClassInfo& TFormProbe::StaticClass() {
  static TClassInfo info("TFormProbe", &TComponent::StaticClass(), ComponentFactory<TFormProbe>);
  static const bool once = [] {
    TPropBuilder<TFormProbe> b(info);
    b.WideString("Caption", [](const TFormProbe& f) { return f.caption; }, [](TFormProbe& f, const std::wstring& v) { f.caption = v; });
    RegisterFrameworkClass(info);
    return true;
  }();
  (void)once;
  return info;
}

TEST(FormResources, AFormIsReadFromTheExecutablesResources) {
  TComponentPtr<TFormProbe> form(new TFormProbe(nullptr));
  ReadComponentText(ReadFormResourceText(L"TESTFORM"), *form);
  EXPECT_EQ(form->caption, L"from a resource");
  EXPECT_EQ(form->Tag(), 42);
  EXPECT_THROW(ReadFormResourceText(L"NOSUCHFORM"), EReadError);
}

TEST(FormResources, FormFilesRoundTripWithWideCaptions) {
  test::TScopedTempDir dir;
  TComponentPtr<TFormProbe> form(new TFormProbe(nullptr));
  form->SetName("Form1");
  form->caption = L"\u041f\u0440\u0438\u0432\u0435\u0442 \u4f60\u597d";
  const std::string path = (dir / "f\u00e9.txt").u8string();
  WriteComponentFile(path, *form);
  TComponentPtr<TFormProbe> back(new TFormProbe(nullptr));
  ReadComponentFile(path, *back);
  EXPECT_EQ(back->caption, form->caption);
  EXPECT_EQ(dir.Files().size(), 1u);
  EXPECT_THROW(ReadComponentFile((dir / "missing.txt").u8string(), *back), EReadError);
}

}  // namespace
}  // namespace vex::host
