// Run by the system's script host (cscript): creates the control by its ProgID, as script
// hosts do, with no InitNew and no Load, and checks that it has its defaults and both fonts
// from the start. Prints each failure and quits with 1 when any; only when every check held does
// it print "all checks held" last (the runner asks for that line too: a script that stops on an
// error may end with status 0).
var failures = 0;
function check(what, got, want) {
  if (got !== want) {
    WScript.Echo("FAIL " + what + ": got " + got + " (" + typeof got + "), want " + want);
    ++failures;
  }
}

function checkAll() {
  var o = new ActiveXObject("KESTRIX.KestrixCtrl.1");

  check("ReadingOrder", o.ReadingOrder, 1);
  check("Alignment", o.Alignment, 2);
  check("Style", o.Style, 1);
  check("ScrollBars", o.ScrollBars, 3);
  check("PasswordChar", o.PasswordChar, 0);
  check("MaxLength", o.MaxLength, 0);
  check("BackColor", o.BackColor, 0xFFFFFF);
  check("ForeColor", o.ForeColor, 0);
  check("WordWrap", o.WordWrap, true);
  check("MultiLines", o.MultiLines, true);
  check("WantReturn", o.WantReturn, true);
  check("HideSelection", o.HideSelection, true);
  check("ReadOnly", o.ReadOnly, false);
  check("VisualCaret", o.VisualCaret, false);
  check("StandardEditing", o.StandardEditing, false);
  check("Modified", o.Modified, false);
  check("Text", o.Text, "");
  check("CanUndo", o.CanUndo, false);
  check("CanRedo", o.CanRedo, false);

  // Both fonts are objects of their own from the start, and take a new face.
  check("FontAr.Name", o.FontAr.Name, "Fonta");
  check("FontEn.Name", o.FontEn.Name, "Times New Roman");
  check("FontAr.Size", Number(o.FontAr.Size), 12);
  o.FontAr.Name = "Arial";
  check("FontAr.Name after a write", o.FontAr.Name, "Arial");
  check("FontEn.Name after FontAr's write", o.FontEn.Name, "Times New Roman");

  // Several lines stay several lines: a CR is a line break, not a space.
  o.Text = "one\rtwo";
  check("Text with a CR", o.Text, "one\rtwo");

  // The write is a step a script can take back and make again; CanUndo is read-only.
  check("CanUndo after a Text write", o.CanUndo, true);
  o.Undo();
  check("Text undone", o.Text, "");
  check("CanRedo after Undo", o.CanRedo, true);
  o.Redo();
  check("Text redone", o.Text, "one\rtwo");
  var written = true;
  try {
    o.CanUndo = false;
  } catch (e) {
    written = false;
  }
  check("CanUndo written", written, false);

  // A colour is a number the script compares as it is; a system colour (the top bit set) reads
  // back as the signed long it is.
  o.BackColor = 0x123456;
  check("BackColor written", o.BackColor, 0x123456);
  check("BackColor compared", o.BackColor == 0x123456, true);
  o.ForeColor = 0x80000008;
  check("ForeColor, a system colour", o.ForeColor, 0x80000008 | 0);

  // A value of the wrong type is refused with an error the script can catch.
  var refused = false;
  try {
    o.ReadingOrder = "not a number";
  } catch (e) {
    refused = true;
  }
  check("ReadingOrder = a word refused", refused, true);
  check("ReadingOrder after the refusal", o.ReadingOrder, 1);
}

try {
  checkAll();
} catch (e) {
  WScript.Echo("FAIL stopped by an error: " + e.message);
  ++failures;
}
CollectGarbage();
if (failures > 0) {
  WScript.Echo(failures + " check(s) failed");
  WScript.Quit(1);
}
WScript.Echo("all checks held");
WScript.Quit(0);
