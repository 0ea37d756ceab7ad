// Cool bars on the platform's "ReBarWindow32" control: bands in rows, each holding a control
// (typically a tool bar) after an optional caption.
#pragma once

#include <memory>
#include <string>

#include "host/collection.h"
#include "host/win_control.h"

namespace vex::host {

class TCoolBar;

class TCoolBand : public TCollectionItem {
  VEX_CLASS(TCoolBand)
 public:
  explicit TCoolBand(TCollection* collection, const TClassInfo& cls = StaticClass()) : TCollectionItem(collection, cls) {}
  ~TCoolBand() override;
  // The control the band holds; it becomes a child of the cool bar.
  TWinControl* Control() const { return control_; }
  void SetControl(TWinControl* c);
  const std::wstring& Text() const { return text_; }
  void SetText(const std::wstring& s);
  int Width() const;
  void SetWidth(int w);
  // The band starts a new row.
  bool Break() const { return break_; }
  void SetBreak(bool b);
  void Assign(const TPersistent& source) override;
  TCoolBar* CoolBar() const;

 private:
  friend class TCoolBar;
  void Changed();
  TWinControl* control_ = nullptr;
  std::wstring text_;
  int width_ = 100;
  bool break_ = true;
};

class TCoolBands : public TCollection {
  VEX_CLASS(TCoolBands)
 public:
  explicit TCoolBands(TCoolBar* owner);
  TCoolBand* Add() { return static_cast<TCoolBand*>(TCollection::Add()); }
  TCoolBand* Items(int index) const { return static_cast<TCoolBand*>(TCollection::Items(index)); }
  void Update(TCollectionItem* item) override;
  TCoolBar* CoolBar() const { return bar_; }

 private:
  TCoolBar* bar_;
};

class TCoolBar : public TWinControl {
  VEX_CLASS(TCoolBar)
 public:
  // Band widths scale with the bar; the bands are laid out again for their controls' new heights.
  void ChangeScale(int m, int d) override;
  // Each band as tall as its control is now (a control's height changed with its font).
  void FitBandsToControls();
  explicit TCoolBar(TComponent* owner, const TClassInfo& cls = StaticClass());
  ~TCoolBar() override;
  TCoolBands& Bands() { return *bands_; }
  const TCoolBands& Bands() const { return *bands_; }
  // The bar's height follows its rows.
  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool v);
  // The bands go to the window again.
  void UpdateBands();

 protected:
  void CreateParams(TCreateParams& p) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  void WndProc(TMessage& m) override;
  void Notification(TComponent* c, TOperation op) override;
  void Loaded() override;

 private:
  friend class TCoolBand;
  void AdjustHeight();
  // The bands take the bar's Color and its font's colour for their captions; a bar of colours of
  // its own is drawn without visual styles (which ignore both).
  void ApplyColours();
  // Band widths the user dragged are read back before the window goes.
  void SaveBandWidths();
  std::unique_ptr<TCoolBands> bands_;
  bool autoSize_ = true;
  bool updating_ = false;
  bool themeOff_ = false;
  // The band colours given to the window (CLR_DEFAULT: the control's own).
  COLORREF bandBack_ = CLR_DEFAULT, bandFore_ = CLR_DEFAULT;
};

}  // namespace vex::host
