#pragma once

#include <wx/dialog.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

class wxListBox;
class wxTextCtrl;

namespace marovine {

// "連番入力支援": makes a series of numbered URLs, lets the user remove
// lines, and hands the list back ("追加") or writes it to a text file.
class SequentialUrlDialog : public wxDialog {
 public:
  explicit SequentialUrlDialog(wxWindow* parent);

  // Every line followed by one space (ForEachResultUrl takes it apart);
  // empty after Cancel.
  const std::string& result() const { return result_; }
  const std::vector<std::string>& lines() const { return lines_; }

  wxTextCtrl* base_edit() const { return base_; }
  wxTextCtrl* first_edit() const { return first_; }
  wxTextCtrl* last_edit() const { return last_; }
  wxTextCtrl* extension_edit() const { return extension_; }
  wxTextCtrl* digits_edit() const { return digits_; }
  wxListBox* list() const { return list_; }
  wxWindow* generate_button() const { return generate_; }
  wxWindow* remove_button() const { return remove_; }

  // Where refusals go; empty means a message box.
  void set_message_sink(std::function<void(const std::string&)> sink) { sink_ = std::move(sink); }
  // Writes the list to `path`; false (after the message) when it cannot.
  bool WriteList(const std::string& path);

 private:
  void OnGenerate();
  void OnRemove();
  void OnWriteText();
  void Tell(const std::string& text);
  bool TakeNumber(wxTextCtrl* edit, long long min, long long max, long long& number);

  std::vector<std::string> lines_;
  std::string result_;
  std::function<void(const std::string&)> sink_;
  wxTextCtrl* base_ = nullptr;
  wxTextCtrl* first_ = nullptr;
  wxTextCtrl* last_ = nullptr;
  wxTextCtrl* extension_ = nullptr;
  wxTextCtrl* digits_ = nullptr;
  wxListBox* list_ = nullptr;
  wxWindow* generate_ = nullptr;
  wxWindow* remove_ = nullptr;
};

// Shows the dialog; the result text ("" after Cancel).
std::string ShowSequentialUrlDialog(wxWindow* parent);

}  // namespace marovine
