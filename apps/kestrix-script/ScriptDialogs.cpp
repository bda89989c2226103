// What only the headless display shows to a script: the framework's dialogs drawn on it, and
// the container's verbs that open them.
#include "ScriptHost.h"

#include "framework/ole/HostedControl.h"
#include "framework/ole/ObjectCreation.h"
#include "framework/window/Dialog.h"

namespace kestrix {

bool ScriptHost::ExtraCommand(const std::vector<Word>& w) {
  const std::string cmd = Lower(w[0].text);
  if (cmd == "dialog") {
    DialogCommand(w);
    return true;
  }
  if (cmd == "verb") {
    VerbCommand(w);
    return true;
  }
  return false;
}

void ScriptHost::VerbCommand(const std::vector<Word>& w) {
  if (w.size() < 2) throw ScriptError("verb needs 1 argument(s)");
  // A container's verb: `properties` opens the property frame, which runs modally while the
  // script goes on inside it.
  LONG verb = Lower(w[1].text) == "properties" ? OLEIVERB_PROPERTIES
                                               : static_cast<LONG>(NumberOf(w[1], "a verb: properties or a number"));
  IHostedControl* hosted = nullptr;
  Ctrl().GetControllingUnknown()->QueryInterface(IID_IHostedControl, reinterpret_cast<void**>(&hosted));
  HRESULT hr = hosted->DoVerb(verb);
  hosted->Release();
  if (FAILED(hr)) throw ScriptError("verb " + w[1].text + " failed: " + HResultText(hr));
}

void ScriptHost::DialogCommand(const std::vector<Word>& w) {
  if (w.size() < 2) throw ScriptError("dialog press BUTTON or dialog png FILE");
  EnsureControl();
  std::string what = Lower(w[1].text);
  CDialog* dialog = CDialog::TopmostDialog();
  if (!dialog) throw ScriptError("no dialog is open");
  if (what == "press") {
    if (w.size() < 3) throw ScriptError("dialog press needs a button's text or id N");
    CPushButton* button = nullptr;
    if (!w[2].quoted && Lower(w[2].text) == "id") {
      if (w.size() != 4) throw ScriptError("dialog press id needs a number");
      button = dynamic_cast<CPushButton*>(dialog->GetDlgItem(static_cast<UINT>(NumberOf(w[3], "a button id"))));
    } else {
      if (w.size() != 3) throw ScriptError("unexpected " + w[3].text);
      button = dialog->FindButton(w[2].text);
    }
    if (!button) throw ScriptError("the dialog has no button " + w.back().text);
    // A click in the middle of the button, as a person gives it.
    CRect client;
    button->GetClientRect(&client);
    display_->Click(button->GetSafeHwnd(), client.Width() / 2, client.Height() / 2);
  } else if (what == "png") {
    if (w.size() != 3) throw ScriptError("dialog png needs a file");
    std::string error;
    if (!display_->WriteWindowPng(dialog->GetSafeHwnd(), w[2].text, &error)) throw ScriptError(error);
  } else {
    throw ScriptError("dialog press or dialog png");
  }
}

std::optional<Shown> ScriptHost::ExtraObservation(const std::vector<Word>& w, size_t& i) {
  if (Lower(w[i - 1].text) != "dialog") return std::nullopt;
  CDialog* dialog = CDialog::TopmostDialog();
  if (i < w.size() && !w[i].quoted && Lower(w[i].text) == "buttons") {
    ++i;
    if (!dialog) return TextShown("none");
    std::string all;
    for (const auto& item : dialog->Items()) {
      if (!dynamic_cast<CPushButton*>(item.get())) continue;
      if (!all.empty()) all += ' ';
      all += Quoted(VisibleLabel(item->Text()));
      all += '=';
      all += std::to_string(item->GetDlgCtrlID());
    }
    return TextShown(all.empty() ? "none" : all);
  }
  return dialog ? StringShown(dialog->Title()) : TextShown("none");
}

}  // namespace kestrix
