// Class information, properties by name, components and form streaming of the host framework.
#include <gtest/gtest.h>

#include <algorithm>

#include "host/class_info.h"
#include "host/collection.h"
#include "host/color.h"
#include "host/component.h"
#include "host/form_stream.h"
#include "host/prop_builder.h"
#include "host/string_list.h"
#include "host/text_encoding.h"

namespace vex::host {
namespace {

std::vector<std::string>& Log() {
  static std::vector<std::string> log;
  return log;
}
int& LiveWidgets() {
  static int n = 0;
  return n;
}

class TTestFont : public TPersistent {
  VEX_CLASS(TTestFont)
 public:
  TTestFont() : TPersistent(StaticClass()) {}
  TColor color = clWindowText;
  std::int64_t size = 8;
  std::int64_t style = 0;
  void Assign(const TPersistent& src) override {
    if (!src.Is<TTestFont>()) return TPersistent::Assign(src);
    const auto& f = static_cast<const TTestFont&>(src);
    color = f.color;
    size = f.size;
    style = f.style;
  }
};

const TClassInfo& TTestFont::StaticClass() {
  static TClassInfo info("TTestFont", &TPersistent::StaticClass());
  static const bool once = [] {
    TPropBuilder<TTestFont> b(info);
    b.Color("Color", [](const TTestFont& f) { return f.color; }, [](TTestFont& f, std::int64_t v) { f.color = static_cast<TColor>(v); });
    b.Integer("Size", [](const TTestFont& f) { return f.size; }, [](TTestFont& f, std::int64_t v) { f.size = v; });
    b.Set("Style", "TFontStyles", {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"},
          [](const TTestFont& f) { return f.style; }, [](TTestFont& f, std::int64_t v) { f.style = v; });
    return true;
  }();
  (void)once;
  return info;
}

class TWidgetItem : public TCollectionItem {
  VEX_CLASS(TWidgetItem)
 public:
  explicit TWidgetItem(TCollection* c) : TCollectionItem(c, StaticClass()) {}
  std::string label;
  std::vector<std::uint8_t> blob;
  void Assign(const TPersistent& src) override {
    if (!src.Is<TWidgetItem>()) return TPersistent::Assign(src);
    label = static_cast<const TWidgetItem&>(src).label;
    blob = static_cast<const TWidgetItem&>(src).blob;
  }
  void DefineProperties(TFiler& filer) override {
    filer.DefineBinaryProperty("Blob", [this](const std::vector<std::uint8_t>& d) { blob = d; },
                               [this] { return blob; }, !blob.empty());
  }
};

const TClassInfo& TWidgetItem::StaticClass() {
  static TClassInfo info("TWidgetItem", &TCollectionItem::StaticClass());
  static const bool once = [] {
    TPropBuilder<TWidgetItem> b(info);
    b.String("Label", [](const TWidgetItem& i) { return i.label; }, [](TWidgetItem& i, const std::string& v) { i.label = v; });
    return true;
  }();
  (void)once;
  return info;
}

enum TShape { shCircle, shSquare, shTriangle };

// A component with one property of every kind; nested widgets stream inside their parent.
class TWidget : public TComponent {
  VEX_CLASS(TWidget)
 public:
  explicit TWidget(TComponent* owner, const TClassInfo& cls = StaticClass())
      : TComponent(owner, cls), items([](TCollection* c) { return std::make_unique<TWidgetItem>(c); }, this) {
    ++LiveWidgets();
  }
  ~TWidget() override {
    --LiveWidgets();
    Log().push_back("~" + Name());
    if (parent) parent->children.erase(std::find(parent->children.begin(), parent->children.end(), this));
    for (TWidget* c : children) c->parent = nullptr;
  }

  std::wstring caption;
  std::string title;
  std::int64_t width = 0;
  bool visible = true;
  std::int64_t shape = shCircle;
  std::int64_t options = 0;
  TColor color = clBtnFace;
  TTestFont font;
  TStringList lines;
  TCollection items;
  TWidget* buddy = nullptr;
  TMethodValue onClick;
  std::vector<std::uint8_t> data;
  TWidget* parent = nullptr;
  std::vector<TWidget*> children;

  void SetBuddy(TWidget* b) {
    if (buddy) buddy->RemoveFreeNotification(this);
    buddy = b;
    if (b) b->FreeNotification(this);
  }

  bool HasParent() const override { return parent != nullptr; }
  TComponent* GetParentComponent() const override { return parent; }
  void SetParentComponent(TComponent* p) override {
    if (p && p->Is<TWidget>()) {
      parent = static_cast<TWidget*>(p);
      parent->children.push_back(this);
    }
  }
  void GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root) const override {
    TComponent::GetChildren(proc, root);
    for (TWidget* c : children)
      if (c->Owner() == root) proc(c);
  }

  void Notification(TComponent* c, TOperation op) override {
    TComponent::Notification(c, op);
    Log().push_back(Name() + (op == TOperation::opInsert ? " +" : " -") + c->ClassName());
    if (op == TOperation::opRemove && c == buddy) buddy = nullptr;
  }
  void Loaded() override {
    TComponent::Loaded();
    Log().push_back("Loaded " + Name() + (buddy ? " buddy=" + buddy->Name() : ""));
  }
  void DefineProperties(TFiler& filer) override {
    filer.DefineBinaryProperty("Data", [this](const std::vector<std::uint8_t>& d) {
      Log().push_back("Data read, width=" + std::to_string(width));
      data = d;
    }, [this] { return data; }, !data.empty());
  }
};

const TClassInfo& TWidget::StaticClass() {
  static TClassInfo info("TWidget", &TComponent::StaticClass(), ComponentFactory<TWidget>);
  static const bool once = [] {
    TPropBuilder<TWidget> b(info);
    b.WideString("Caption", [](const TWidget& w) { return w.caption; }, [](TWidget& w, const std::wstring& v) { w.caption = v; });
    b.String("Title", [](const TWidget& w) { return w.title; }, [](TWidget& w, const std::string& v) { w.title = v; });
    b.Integer("Width", [](const TWidget& w) { return w.width; }, [](TWidget& w, std::int64_t v) {
      w.width = v;
      if (w.HasState(csReading)) Log().push_back("Width set");
    });
    b.Boolean("Visible", [](const TWidget& w) { return w.visible; }, [](TWidget& w, std::int64_t v) { w.visible = v != 0; })
        .defaultValue = std::int64_t{1};
    b.Enum("Shape", "TShape", {"shCircle", "shSquare", "shTriangle"}, [](const TWidget& w) { return w.shape; },
           [](TWidget& w, std::int64_t v) { w.shape = v; });
    b.Set("Options", "TOptions", {"opA", "opB", "opC"}, [](const TWidget& w) { return w.options; },
          [](TWidget& w, std::int64_t v) { w.options = v; });
    b.Color("Color", [](const TWidget& w) { return w.color; }, [](TWidget& w, std::int64_t v) { w.color = static_cast<TColor>(v); });
    b.Object("Font", TPropKind::Object, TTestFont::StaticClass(), [](const TWidget& w) { return const_cast<TTestFont*>(&w.font); },
             nullptr);
    b.Object("Lines", TPropKind::StringList, TStringList::StaticClass(),
             [](const TWidget& w) { return const_cast<TStringList*>(&w.lines); }, nullptr);
    b.Object("Items", TPropKind::Collection, TCollection::StaticClass(),
             [](const TWidget& w) { return const_cast<TCollection*>(&w.items); }, nullptr);
    b.Object("Buddy", TPropKind::Object, info, [](const TWidget& w) { return w.buddy; },
             [](TWidget& w, TObject* o) { w.SetBuddy(static_cast<TWidget*>(o)); });
    b.Method("OnClick", "TNotifyEvent", [](const TWidget& w) { return w.onClick; },
             [](TWidget& w, const TMethodValue& m) { w.onClick = m; });
    RegisterFrameworkClass(info);
    return true;
  }();
  (void)once;
  return info;
}

// A second class, to test inheritance of published properties.
class TFancyWidget : public TWidget {
  VEX_CLASS(TFancyWidget)
 public:
  explicit TFancyWidget(TComponent* owner) : TWidget(owner, StaticClass()) {}
  std::int64_t glow = 0;
};

const TClassInfo& TFancyWidget::StaticClass() {
  static TClassInfo info("TFancyWidget", &TWidget::StaticClass(), ComponentFactory<TFancyWidget>);
  static const bool once = [] {
    TPropBuilder<TFancyWidget> b(info);
    b.Integer("Glow", [](const TFancyWidget& w) { return w.glow; }, [](TFancyWidget& w, std::int64_t v) { w.glow = v; });
    RegisterFrameworkClass(info);
    return true;
  }();
  (void)once;
  return info;
}

class HostComponents : public ::testing::Test {
 protected:
  void SetUp() override {
    Log().clear();
    TFancyWidget::StaticClass();
    ASSERT_EQ(LiveWidgets(), 0);
  }
  void TearDown() override { EXPECT_EQ(LiveWidgets(), 0) << "a widget leaked"; }
};

TEST_F(HostComponents, ClassInformation) {
  const TClassInfo& fancy = TFancyWidget::StaticClass();
  EXPECT_EQ(fancy.Name(), "TFancyWidget");
  EXPECT_EQ(fancy.Parent(), &TWidget::StaticClass());
  EXPECT_TRUE(fancy.InheritsFrom(TComponent::StaticClass()));
  EXPECT_TRUE(fancy.InheritsFrom("twidget"));
  EXPECT_TRUE(fancy.InheritsFrom("TPersistent"));
  EXPECT_FALSE(TWidget::StaticClass().InheritsFrom("TFancyWidget"));
  EXPECT_EQ(FindClass("tfancywidget"), &fancy);
  EXPECT_EQ(FindClass("TNoSuchClass"), nullptr);
  TComponentPtr<TFancyWidget> w(new TFancyWidget(nullptr));
  EXPECT_EQ(w->ClassName(), "TFancyWidget");
  EXPECT_TRUE(w->Is<TWidget>());
  EXPECT_TRUE(w->InheritsFrom("TComponent"));
}

TEST_F(HostComponents, PropertiesByNameWithInheritance) {
  TComponentPtr<TFancyWidget> w(new TFancyWidget(nullptr));
  // Inherited from TComponent, from TWidget, and the class's own, in that order.
  const auto props = w->ClassInfo().Properties();
  ASSERT_GE(props.size(), 3u);
  EXPECT_EQ(props[0]->name, "Name");
  EXPECT_EQ(props[1]->name, "Tag");
  EXPECT_EQ(props.back()->name, "Glow");
  EXPECT_TRUE(IsPublishedProp(*w, "tag"));
  EXPECT_TRUE(IsPublishedProp(*w, "CAPTION"));
  EXPECT_FALSE(IsPublishedProp(*w, "Margin"));

  SetOrdProp(*w, "Tag", 9999);
  EXPECT_EQ(w->Tag(), 9999);
  SetWideStrProp(*w, "Caption", L"Gr\u00fc\u00dfe \u4f60\u597d");
  EXPECT_EQ(GetWideStrProp(*w, "Caption"), L"Gr\u00fc\u00dfe \u4f60\u597d");
  SetEnumProp(*w, "Shape", "shTriangle");
  EXPECT_EQ(w->shape, shTriangle);
  EXPECT_EQ(GetEnumProp(*w, "Shape"), "shTriangle");
  SetSetProp(*w, "Options", "[opA, opC]");
  EXPECT_EQ(w->options, 5);
  EXPECT_EQ(GetSetProp(*w, "Options"), "[opA, opC]");
  EXPECT_TRUE(SetPropContains(*w, "Options", "opC"));
  EXPECT_FALSE(SetPropContains(*w, "Options", "opB"));
  EXPECT_EQ(PropKind(*w, "Options"), TPropKind::Set);
  EXPECT_EQ(PropTypeName(*w, "Shape"), "TShape");
  EXPECT_EQ(PropTypeName(*w, "Visible"), "Boolean");
  EXPECT_EQ(PropKind(*w, "Font"), TPropKind::Object);
  TObject* font = GetObjectProp(*w, "Font");
  ASSERT_NE(font, nullptr);
  EXPECT_EQ(font->ClassName(), "TTestFont");
  SetOrdProp(*font, "Color", clRed);
  EXPECT_EQ(w->font.color, clRed);

  struct Bad {
    std::function<void()> call;
    const char* what;
  };
  const Bad bad[] = {
      {[&] { GetOrdProp(*w, "Margin"); }, "no property Margin"},
      {[&] { GetStrProp(*w, "Tag"); }, "is not a string"},
      {[&] { SetOrdProp(*w, "Caption", 1); }, "is not ordinal"},
      {[&] { SetEnumProp(*w, "Shape", "shHexagon"); }, "shHexagon is no value of TShape"},
      {[&] { SetSetProp(*w, "Options", "[opZ]"); }, "opZ is no element of TOptions"},
      {[&] { SetObjectProp(*w, "Font", nullptr); }, "read-only"},
  };
  for (const Bad& b : bad) {
    try {
      b.call();
      ADD_FAILURE() << b.what;
    } catch (const EPropertyError& e) {
      EXPECT_NE(std::string(e.what()).find(b.what), std::string::npos) << e.what();
    }
  }
}

TEST_F(HostComponents, TypedReadsAnswerNothingForMissingOrOtherKinds) {
  TComponentPtr<TWidget> w(new TWidget(nullptr));
  w->title = "t";
  w->caption = L"c";
  w->shape = shSquare;
  EXPECT_EQ(TryGetProp<std::string>(*w, "Title"), std::optional<std::string>("t"));
  EXPECT_EQ(TryGetProp<std::wstring>(*w, "Caption"), std::optional<std::wstring>(L"c"));
  EXPECT_EQ(TryGetProp<std::int64_t>(*w, "Shape"), std::optional<std::int64_t>(shSquare));
  EXPECT_EQ(TryGetProp<std::int64_t>(*w, "Shape", "TShape"), std::optional<std::int64_t>(shSquare));
  EXPECT_EQ(TryGetProp<std::int64_t>(*w, "Shape", "TBorderStyle"), std::nullopt) << "same name, other type";
  EXPECT_EQ(TryGetProp<std::int64_t>(*w, "Margin"), std::nullopt) << "not published";
  EXPECT_EQ(TryGetProp<std::string>(*w, "Shape"), std::nullopt) << "another kind";
  EXPECT_EQ(TryGetProp<std::int64_t>(*w, "Caption"), std::nullopt);
  ASSERT_TRUE(TryGetProp<TObject*>(*w, "Font").has_value());
  EXPECT_EQ(*TryGetProp<TObject*>(*w, "Font"), &w->font);
}

// Lookups by name are answered from a table per class: the nearest class's property wins over a
// parent's of the same name in any case, and a property registered after a lookup is found.
TEST(ClassLookups, NearestClassWinsAndLateRegistrationsAreFound) {
  TClassInfo parent("TLookupParent", nullptr);
  TClassInfo child("TLookupChild", &parent);
  TPropInfo size;
  size.name = "Size";
  size.typeName = "TParentSize";
  parent.AddProperty(size);
  size.name = "SIZE";
  size.typeName = "TChildSize";
  child.AddProperty(size);
  ASSERT_NE(child.FindProperty("size"), nullptr);
  EXPECT_EQ(child.FindProperty("size")->typeName, "TChildSize");
  EXPECT_EQ(parent.FindProperty("sIzE")->typeName, "TParentSize");
  EXPECT_EQ(child.FindProperty("Extra"), nullptr);
  TPropInfo extra;
  extra.name = "Extra";
  extra.typeName = "Integer";
  parent.AddProperty(extra);
  ASSERT_NE(child.FindProperty("EXTRA"), nullptr) << "registered on a parent after the child's table was made";
  EXPECT_EQ(child.FindProperty("EXTRA")->name, "Extra");
  // Adding to a class may move its earlier properties: what a lookup answers is still theirs.
  for (int i = 0; i < 40; ++i) {
    TPropInfo p;
    p.name = "P" + std::to_string(i);
    child.AddProperty(p);
  }
  EXPECT_EQ(child.FindProperty("Size")->typeName, "TChildSize");
  EXPECT_EQ(child.FindProperty("p39")->name, "P39");
}

TEST_F(HostComponents, OwnershipNamesAndNotifications) {
  TComponentPtr<TWidget> form(new TWidget(nullptr));
  form->SetName("Form1");
  auto* a = new TWidget(form.get());
  a->SetName("A");
  auto* b = new TFancyWidget(form.get());
  b->SetName("B");
  EXPECT_EQ(form->ComponentCount(), 2);
  EXPECT_EQ(b->ComponentIndex(), 1);
  EXPECT_EQ(form->FindComponent("b"), b);
  // Siblings hear of the newcomer with its real class, during its construction.
  EXPECT_NE(std::find(Log().begin(), Log().end(), "A +TFancyWidget"), Log().end());
  EXPECT_THROW(b->SetName("a"), EComponentError);
  EXPECT_THROW(b->SetName("2fast"), EComponentError);
  EXPECT_EQ(b->Name(), "B");

  Log().clear();
  TComponent::Free(b);
  EXPECT_EQ(form->ComponentCount(), 1);
  // The owner forwards to every component it owns, the leaving one too, then hears itself.
  EXPECT_EQ(Log(), (std::vector<std::string>{"B -TFancyWidget", "A -TFancyWidget", "Form1 -TFancyWidget", "~B"}));
  // A plain delete reports the real class too (the leaving component is past its own handler).
  auto* c = new TFancyWidget(form.get());
  Log().clear();
  delete c;
  EXPECT_EQ(Log(), (std::vector<std::string>{"~", "A -TFancyWidget", "Form1 -TFancyWidget"}));
}

TEST_F(HostComponents, ReferencesAreClearedWhenTheReferencedComponentGoes) {
  TComponentPtr<TWidget> form1(new TWidget(nullptr));
  TComponentPtr<TWidget> form2(new TWidget(nullptr));
  auto* a = new TWidget(form1.get());
  auto* far = new TWidget(form2.get());
  a->SetBuddy(far);
  TComponent::Free(far);
  EXPECT_EQ(a->buddy, nullptr);
  // And the other way round: the referring component goes first, the referenced one stays quiet.
  auto* b = new TWidget(form2.get());
  auto* c = new TWidget(form1.get());
  c->SetBuddy(b);
  TComponent::Free(c);
  TComponent::Free(b);
}

// A component that refuses a second instance of its class in the same owner, as a skin engine does.
class TSolo : public TComponent {
  VEX_CLASS(TSolo)
 public:
  explicit TSolo(TComponent* owner) : TComponent(owner, StaticClass()) {}
  void Notification(TComponent* c, TOperation op) override {
    TComponent::Notification(c, op);
    if (op == TOperation::opInsert && c != this && c->Is<TSolo>()) throw EComponentError("only one TSolo");
  }
};
const TClassInfo& TSolo::StaticClass() {
  static const TClassInfo info("TSolo", &TComponent::StaticClass(), ComponentFactory<TSolo>);
  return info;
}

TEST_F(HostComponents, ARefusedComponentIsNotLeftInItsOwner) {
  TComponentPtr<TWidget> form(new TWidget(nullptr));
  new TSolo(form.get());
  EXPECT_THROW(new TSolo(form.get()), EComponentError);
  EXPECT_EQ(form->ComponentCount(), 1);
}

TEST_F(HostComponents, OwnerDestroysItsComponentsLastFirst) {
  auto* form = new TWidget(nullptr);
  for (int i = 0; i < 3; ++i) new TWidget(form);
  form->Components(0)->SetName("A");
  form->Components(1)->SetName("B");
  form->Components(2)->SetName("C");
  EXPECT_EQ(LiveWidgets(), 4);
  Log().clear();
  TComponent::Free(form);
  EXPECT_EQ(LiveWidgets(), 0);
  // C goes first, A last, the owner after them; siblings are not told, their owner is going.
  EXPECT_EQ(Log(), (std::vector<std::string>{"~C", "~B", "~A", "~"}));
}

std::unique_ptr<TWidget, TComponentDeleter> SampleTree() {
  TComponentPtr<TWidget> form(new TWidget(nullptr));
  form->SetName("Form1");
  form->RegisterMethod("PanelClick", [](TObject*) {});
  form->caption = L"Caf\u00e9 'quoted'\r\nnext line";
  form->width = 640;
  form->color = MakeRgb(1, 2, 3);
  form->font.color = clRed;
  form->font.style = 1 | 4;
  form->lines.SetItems({"first", "it's", ""});
  auto* item = static_cast<TWidgetItem*>(form->items.Add());
  item->label = "one";
  item->blob = {0xDE, 0xAD};
  static_cast<TWidgetItem*>(form->items.Add())->label = "two";
  form->data = {1, 2, 3, 250};
  auto* panel = new TFancyWidget(form.get());
  panel->SetName("Panel1");
  panel->SetParentComponent(form.get());
  panel->glow = 3;
  panel->visible = false;
  panel->shape = shSquare;
  panel->options = 2;
  panel->onClick = form->FindMethod("PanelClick");
  auto* inner = new TWidget(form.get());
  inner->SetName("Inner");
  inner->SetParentComponent(panel);
  inner->SetBuddy(panel);
  inner->SetTag(-7);
  return form;
}

TEST_F(HostComponents, StreamingRoundTrip) {
  const auto form = SampleTree();
  const std::string text = WriteComponentText(*form);
  EXPECT_NE(text.find("object Form1: TWidget"), std::string::npos) << text;
  EXPECT_NE(text.find("Font.Color = clRed"), std::string::npos) << text;
  EXPECT_NE(text.find("Font.Style = [fsBold, fsUnderline]"), std::string::npos) << text;
  EXPECT_NE(text.find("Color = $00030201"), std::string::npos) << text;
  EXPECT_NE(text.find("    object Inner: TWidget"), std::string::npos) << "nested in its parent\n" << text;
  EXPECT_EQ(text.find("Visible = True"), std::string::npos) << "default values are not written\n" << text;

  TComponentPtr<TWidget> copy(new TWidget(nullptr));
  copy->RegisterMethod("PanelClick", [](TObject*) {});
  ReadComponentText(text, *copy);
  EXPECT_EQ(WriteComponentText(*copy), text);
  EXPECT_EQ(copy->caption, form->caption);
  EXPECT_EQ(copy->lines.Items(), form->lines.Items());
  ASSERT_EQ(copy->items.Count(), 2);
  EXPECT_EQ(static_cast<TWidgetItem*>(copy->items.Items(0))->blob, (std::vector<std::uint8_t>{0xDE, 0xAD}));
  auto* panel = static_cast<TFancyWidget*>(copy->FindComponent("Panel1"));
  ASSERT_NE(panel, nullptr);
  EXPECT_EQ(panel->ClassName(), "TFancyWidget");
  EXPECT_EQ(panel->glow, 3);
  EXPECT_FALSE(panel->visible);
  EXPECT_EQ(panel->onClick.name, "PanelClick");
  EXPECT_TRUE(static_cast<bool>(panel->onClick.handler));
  auto* inner = static_cast<TWidget*>(copy->FindComponent("Inner"));
  ASSERT_NE(inner, nullptr);
  EXPECT_EQ(inner->parent, panel);
  EXPECT_EQ(inner->buddy, panel);
  EXPECT_EQ(inner->Owner(), copy.get());
  EXPECT_EQ(copy->data, form->data);
}

TEST_F(HostComponents, LoadedComesOnceForEachComponentAfterTheWholeTree) {
  const auto form = SampleTree();
  const std::string text = WriteComponentText(*form);
  TComponentPtr<TWidget> copy(new TWidget(nullptr));
  copy->RegisterMethod("PanelClick", [](TObject*) {});
  Log().clear();
  ReadComponentText(text, *copy);
  std::vector<std::string> loaded;
  for (const auto& l : Log())
    if (l.rfind("Loaded", 0) == 0) loaded.push_back(l);
  // The root first, then the rest in the order read; references are resolved by then.
  EXPECT_EQ(loaded, (std::vector<std::string>{"Loaded Form1", "Loaded Panel1", "Loaded Inner buddy=Panel1"}));
  for (TComponent* c : {static_cast<TComponent*>(copy.get()), copy->Components(0), copy->Components(1)})
    EXPECT_FALSE(c->HasState(csLoading) || c->HasState(csReading)) << c->Name();
  // The defined property ran where it stands: after the published ones of its object.
  auto data = std::find(Log().begin(), Log().end(), "Data read, width=640");
  EXPECT_NE(data, Log().end());
}

TEST_F(HostComponents, DefinedPropertiesRunWhereTheyStand) {
  TComponentPtr<TWidget> w(new TWidget(nullptr));
  Log().clear();
  ReadComponentText("object W: TWidget\n  Data = {01}\n  Width = 5\nend\n", *w);
  EXPECT_EQ(Log()[0], "Data read, width=0");
  EXPECT_EQ(Log()[1], "Width set");
}

TEST_F(HostComponents, MalformedStreamsNameTheLineAndLeaveNothingBehind) {
  struct Case {
    const char* text;
    int line;
    const char* message;
  };
  const Case cases[] = {
      {"", 1, "object expected"},
      {"object W: TWidget\n  Width = 1\n", 3, "end expected"},
      {"object W: TWidget\n  Width = 'x'\nend", 2, "value of Width expected"},
      {"object W: TWidget\n  Margin = 3\nend", 2, "TWidget has no property Margin"},
      {"object W: TWidget\n  Shape = shOval\nend", 2, "shOval is no value of TShape"},
      {"object W: TWidget\n  Options = [opA, opQ]\nend", 2, "opQ is no element of TOptions"},
      {"object W: TWidget\n  Color = clPlaid\nend", 2, "clPlaid is no colour"},
      {"object W: TWidget\n  Title = 'open\nend", 2, "unterminated string"},
      {"object W: TWidget\n  OnClick = Nowhere\nend", 2, "method Nowhere not found"},
      {"object W: TWidget\n  object A: TWidget\n  end\n  object B: TNoSuch\n  end\nend", 4, "class TNoSuch not found"},
      {"object W: TWidget\n  object A: TWidget\n  end\n  object A: TWidget\n  end\nend", 4, "already exists"},
      {"object W: TWidget\n  object A: TWidget\n    Buddy = Ghost\n  end\nend", 3, "component Ghost not found"},
      {"object W: TWidget\n  Data = {0G}\nend", 2, "bad hexadecimal digit"},
      {"object W: TWidget\n  Data = 'text'\nend", 2, "Data takes binary data"},
      {"object W: TWidget\n  Items = <\n    item\n      Colour = 1\n    end>\nend", 4, "TWidgetItem has no property Colour"},
      {"object W: TWidget\n  Font.Size = 8\n  Font.Weight = 2\nend", 3, "TTestFont has no property Weight"},
      {"object W: TStringList\nend", 1, "the stream holds a TStringList, not a TWidget"},
      {"object W: TWidget\nend\nobject X: TWidget\nend", 3, "text after the last end"},
  };
  for (const Case& c : cases) {
    TComponentPtr<TWidget> root(new TWidget(nullptr));
    try {
      ReadComponentText(c.text, *root);
      ADD_FAILURE() << c.text << " was read";
    } catch (const EReadError& e) {
      EXPECT_EQ(e.Line(), c.line) << c.text << "\n" << e.what();
      EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << c.text << "\n" << e.what();
      EXPECT_EQ(std::string(e.what()).rfind("line " + std::to_string(c.line) + ": ", 0), 0u) << e.what();
    }
    EXPECT_EQ(root->ComponentCount(), 0) << c.text;
    EXPECT_EQ(LiveWidgets(), 1) << c.text;
    EXPECT_FALSE(root->HasState(csLoading)) << c.text;
  }
  // A stream that creates its own root leaves nothing at all on failure.
  EXPECT_THROW(ReadComponentText("object W: TWidget\n  object A: TWidget\n  end\n  Width = 1\n", nullptr), EReadError);
  EXPECT_EQ(LiveWidgets(), 0);
  TComponent* made = ReadComponentText("object W: TFancyWidget\n  Glow = 2\nend\n", nullptr);
  EXPECT_EQ(made->ClassName(), "TFancyWidget");
  EXPECT_EQ(static_cast<TFancyWidget*>(made)->glow, 2);
  TComponent::Free(made);
}

TEST(HostText, Utf8AndUtf16) {
  const std::wstring w = L"A\u00e9\u4f60\U0001F600";
  EXPECT_EQ(Utf8ToWide(WideToUtf8(w)), w);
  EXPECT_EQ(WideToUtf8(L"\u00e9"), "\xC3\xA9");
  EXPECT_EQ(Utf8ToWide("\xC3"), L"\xFFFD");
  EXPECT_EQ(Utf8ToWide("\xC0\xAF"), L"\xFFFD\xFFFD");  // overlong
}

TEST(HostStringList, ChangesAndText) {
  TStringList l;
  int changes = 0;
  l.OnChange = [&](TObject*) { ++changes; };
  l.Add("a");
  l.BeginUpdate();
  l.Add("b");
  l.Add("c");
  EXPECT_EQ(changes, 1);
  l.EndUpdate();
  EXPECT_EQ(changes, 2);
  EXPECT_EQ(l.IndexOf("B"), 1);
  EXPECT_EQ(l.Text(), "a\r\nb\r\nc\r\n");
  l.SetText("x\r\ny\nz\r");
  EXPECT_EQ(l.Items(), (std::vector<std::string>{"x", "y", "z"}));
  l.SetText("one\r\n\r\ntwo");
  EXPECT_EQ(l.Items(), (std::vector<std::string>{"one", "", "two"}));
}

}  // namespace
}  // namespace vex::host
