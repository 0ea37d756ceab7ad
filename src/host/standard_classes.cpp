#include "host/standard_classes.h"

#include "host/application.h"
#include "host/bit_btn.h"
#include "host/button_controls.h"
#include "host/dialogs.h"
#include "host/form.h"
#include "host/hot_key.h"
#include "host/image_list.h"
#include "host/menus.h"
#include "host/speed_button.h"
#include "host/std_controls.h"
#include "host/edit.h"
#include "host/grids.h"
#include "host/list_box.h"
#include "host/combo_box.h"
#include "host/cool_bar.h"
#include "host/frames.h"
#include "host/status_bar.h"
#include "host/tab_controls.h"
#include "host/combo_box_ex.h"
#include "host/date_time_picker.h"
#include "host/progress_bar.h"
#include "host/track_bar.h"
#include "host/up_down.h"
#include "host/list_view.h"
#include "host/scroll_bar.h"
#include "host/scroll_box.h"
#include "host/tool_bar.h"
#include "host/tree_view.h"

namespace vex::host {

void RegisterStandardClasses() {
  // Each class registers itself with the reader the first time its information is asked for.
  TForm::StaticClass();
  TMessageForm::StaticClass();
  TLabel::StaticClass();
  TButton::StaticClass();
  TBitBtn::StaticClass();
  TSpeedButton::StaticClass();
  TPanel::StaticClass();
  TGroupBox::StaticClass();
  TFrame::StaticClass();
  TStatusBar::StaticClass();
  TCoolBar::StaticClass();
  TTabControl::StaticClass();
  TPageControl::StaticClass();
  TTabSheet::StaticClass();
  TCheckBox::StaticClass();
  TRadioButton::StaticClass();
  THotKey::StaticClass();
  TMainMenu::StaticClass();
  TPopupMenu::StaticClass();
  TMenuItem::StaticClass();
  TImageList::StaticClass();
  TApplicationEvents::StaticClass();
  TToolBar::StaticClass();
  TToolButton::StaticClass();
  TEdit::StaticClass();
  TMemo::StaticClass();
  TMaskEdit::StaticClass();
  TScrollBar::StaticClass();
  TScrollBox::StaticClass();
  TListBox::StaticClass();
  TComboBox::StaticClass();
  TComboBoxEx::StaticClass();
  TTrackBar::StaticClass();
  TProgressBar::StaticClass();
  TUpDown::StaticClass();
  TDateTimePicker::StaticClass();
  TListView::StaticClass();
  TTreeView::StaticClass();
  TDrawGrid::StaticClass();
  TStringGrid::StaticClass();
}

}  // namespace vex::host
