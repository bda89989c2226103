// The edit control for plain text mixing Arabic and English. One class holds all state; its
// member functions are defined in the folder of the subsystem that owns them:
//   control/      construction, properties, automation, persistence, messages, reading order
//   text/         line store, rebuilding and line breaking, insertion, deletion
//   layout/       character classes, font pair and drawing context, measurement, painting, caret
//   interaction/  navigation, keystrokes, selection, mouse, clipboard and menu, scrolling
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "control/Guids.h"
#include "framework/ole/COleControl.h"
#include "framework/ole/DispatchEngine.h"
#include "framework/window/CScrollBar.h"
#include "layout/CharClass.h"
#include "layout/TextLibrary.h"
#include "text/LineList.h"
#include "text/LineRecord.h"
#include "text/RebuildLayout.h"
#include "text/UndoHistory.h"

namespace kestrix {

class CKestrixCtrl : public COleControl {
 public:
  // Uses the Arabic text library that ships with the control, in settings of its own.
  CKestrixCtrl();
  // Uses the given text library, which must outlive the control.
  explicit CKestrixCtrl(TextLibrary& library);
  ~CKestrixCtrl() override;

 private:
  explicit CKestrixCtrl(std::unique_ptr<TextLibrary> own);

 public:

  // Text property: the whole text as an automation string, built from the line store.
  WideString GetTextProperty();
  void SetTextProperty(const WideString& text);
  // Text write: replaces the whole text (8-bit, Arabic code page).
  void SetText(const CString& text);

  // The text a save writes as "m_Text": the host's text while nothing has been edited since
  // the store was rebuilt from it, else the store's text.
  CString SavedText();

  // Framework hooks ----------------------------------------------------------------------
  void DoPropExchange(CPropExchange* px) override;
  void OnResetState() override;
  void OnDraw(CDC* dc, const CRect& bounds, const CRect& invalid) override;
  void OnBackColorChanged() override;
  BOOL PreCreateWindow(CREATESTRUCT& cs) override;

  // Message handlers ---------------------------------------------------------------------
  DECLARE_MESSAGE_MAP()
  void OnMouseMove(UINT flags, CPoint point);
  void OnLButtonUp(UINT flags, CPoint point);
  void OnLButtonDown(UINT flags, CPoint point);
  void OnLButtonDblClk(UINT flags, CPoint point);
  void OnRButtonDown(UINT flags, CPoint point);
  void OnSetFocus(CWnd* oldWnd);
  void OnKillFocus(CWnd* newWnd);
  void OnSize(UINT type, int cx, int cy);
  // After a resize (StandardEditing): the caret's line back at row caretRow of the view, or
  // only into view when it was not in view (caretRow -1).
  void KeepCaretRowAfterResize(int caretRow);
  int OnCreate(CREATESTRUCT* cs);
  void OnChar(UINT ch, UINT repeat, UINT flags);
  void OnKeyDown(UINT ch, UINT repeat, UINT flags);
  void OnKeyUp(UINT ch, UINT repeat, UINT flags);
  void OnSysKeyDown(UINT ch, UINT repeat, UINT flags);
  int OnMouseActivate(CWnd* topParent, UINT hitTest, UINT message);
  void OnVScroll(UINT code, UINT pos, CScrollBar* scrollBar);
  // A wheel notch scrolls the view three lines; the caret stays on its line.
  void OnMouseWheel(UINT flags, short delta, CPoint point);
  void OnTimer(UINT_PTR id);
  void OnDestroy();
  void OnFontChanged() override;
  void OnKeyDownEvent(USHORT keyCode, short shift) override;
  // Re-creates the window and rebuilds the text it held.
  void RecreateAndReload();
  // Measures and draws in the fonts the holders now hold: the window is made again around
  // the text it held, or a store without characters takes them in place.
  void ApplyNewFonts();
  void TakeNewFonts();
  // Re-breaks the whole text, the caret kept at its offset (F5 and the Refresh method).
  void Refresh();

  // Reading order and keyboard language -------------------------------------------------
  short GetReadingOrder() const { return m_ReadingOrder; }
  void SetReadingOrder(short order);
  void ApplyReadingOrder();
  BOOL ActivateEdit(const WideString& key, const WideString& str);
  void ReadingOrderKey(UINT flags);
  // The reading order a Shift key asks for with Control (0 left Shift, 1 right), or -1.
  static int ReadingOrderOfShift(UINT flags);
  // StandardEditing's chord: a Shift pressed with Control arms the switch, any other key
  // disarms it, and the first of the two let go fires it.
  void ArmReadingOrderChord(UINT key, UINT flags);
  void ReleaseReadingOrderChord(UINT key);

  // Caret moves --------------------------------------------------------------------------
  void MoveLeft();
  void MoveRight();
  void KeepCaretLineVisible();
  void MoveUp(BOOL moveCaret);
  void MoveDown(BOOL moveCaret);
  void PageUp();
  void PageDown();
  void MoveHome();
  void MoveEnd();
  static bool IsShiftDown();
  static bool IsCtrlDown();
  // Up, Down, Page Up, Page Down, Left and Right; false for any other key.
  bool RunMoveKey(UINT key);
  void DeleteBackward();
  // The Shift-selection steps around a key of the key table.
  void ShiftSelectBefore(UINT key);
  void ShiftSelectAfter(UINT key);

  // Words, word and paragraph clicks (StandardEditing) -------------------------------------
  // Where Ctrl+Right goes from offset: the start of the next word, or the end of the line;
  // from a line's end, the first word of the next line (or its end).
  int64_t WordStopAfter(int64_t offset);
  // Where Ctrl+Left goes from offset: the start of this word or the previous one on the line,
  // or the line's start; from a line's start, the last word of the line before.
  int64_t WordStopBefore(int64_t offset);
  // The word (or run of other characters) around the character at offset, CRs excluded.
  std::pair<int64_t, int64_t> WordAround(int64_t offset);
  // The paragraph holding offset, its CR excluded.
  std::pair<int64_t, int64_t> ParagraphAround(int64_t offset);
  // Ctrl+Left and Ctrl+Right: by words, the way the line reads on the screen with VisualCaret.
  void MoveByWord(bool rightKey);
  // Ctrl+Backspace and Ctrl+Delete: the selection, or back to where Ctrl+Left would go or on
  // to where Ctrl+Right would, goes in one deletion.
  void DeleteWord(bool forward);
  // Selects from..to (absolute offsets), the caret at to, scrolled into view.
  void SelectOffsets(int64_t from, int64_t to);
  // The character boundary under a client point, or -1 off the lines.
  int64_t OffsetAtPoint(CPoint point);
  // A press at the point and time of the last double click, within the double-click time:
  // the paragraph is selected.
  bool IsTripleClick(CPoint point) const;
  // A copy or cut with nothing selected leaves the clipboard and the text alone.
  bool CopiesNothing() const { return m_StandardEditing && m_SelLength <= 0; }

  // Keystroke commands --------------------------------------------------------------------
  // Ctrl+L, C, V, X and A; every other character typed with Control does nothing.
  void CtrlCharCommand(UINT ch);

  // Selection model and highlighting -------------------------------------------------------
  // Automation members: reads return what the control holds.
  long GetSelStart() const { return m_SelStart; }
  void SetSelStart(long start);
  long GetSelLength() const { return m_SelLength; }
  void SetSelLength(long length);
  void SetHideSelection(BOOL hide);
  // Inverts x1..x2 (either order) over top..bottom less the baseline lift.
  void InvertBand(int x1, int x2, int top, int bottom);
  void ClearLineHighlight(int n);
  void CollapseSelection();
  void RepaintHighlight();
  void HideSelectionOnFocusLoss();
  void SetSelectionRange(int length);
  void SelectAll();
  int XOfOffset(int offset);

  // Highlight tracking of the moving end ---------------------------------------------------
  // The span line n shows for the characters from..to (absolute offsets, to excluded),
  // smaller x first; empty (left == right) when none of its text is in the range.
  std::pair<int, int> SpanOfRange(int n, int from, int to);
  // The spans line n shows for from..to, smaller x first: one span, or with VisualCaret on one
  // per run of characters drawn side by side.
  HighlightSpans SpansOfRange(int n, int from, int to);
  // The range the highlight shows: a gesture's from its anchor to the caret, which follows its
  // moving end, while the gesture lasts; otherwise the selection.
  std::pair<int, int> ImpliedRange();
  // Brings every line's highlight, in its record and on the screen, to the range from..to,
  // inverting only what changes.
  void ShowRange(int from, int to, bool draw = true);
  void UpdateLineSpan(int n, int from, int to, bool draw);
  // The records recomputed for the range shown, after the lines have moved (a new alignment),
  // with nothing drawn: the repaint that follows shows them.
  void RestateHighlight();
  // The gesture's moving end goes to index of line n; the caret follows it.
  void MoveEndTo(int n, int index);

  // Mouse selection and drag auto-scroll ---------------------------------------------------
  void HitTest(CPoint& point);
  void PressAt(int x, int y);
  void BeginSelection(int x, int y);
  void ExtendSelectionTo(int x, int y);
  // Moves the selection's moving end onto index of a line the gesture reaches.
  void TrackToLine(int line, int index);
  void EndSelection(int x, int y, BOOL keyboard);
  void DragScrollLoop();
  void ScrollDragUp();
  void ScrollDragDown();
  void RehighlightView();

  // Clipboard and context menu -------------------------------------------------------------
  // The vertical scroll bar's width in pixels, on the side the reading order puts it.
  static constexpr int kScrollBarWidth = 16;
  static constexpr UINT kContextMenu = 204;
  static constexpr UINT kCopyCommand = 32768;
  static constexpr UINT kPasteCommand = 32769;
  // Offered by the right-button menu with StandardEditing on.
  static constexpr UINT kUndoCommand = 32770;
  static constexpr UINT kRedoCommand = 32771;
  CString SelectedText();
  // The Copy and Paste commands (keys and the context menu's items 32768 and 32769).
  void OnEditCopy();
  void OnEditPaste();
  CString ClipboardText();
  // The clipboard's text for a paste, or nothing when it holds text the code page has no place
  // for (the refusal is told to the person).
  std::optional<CString> ClipboardTextToPaste();
  // The SelText method: the selected text, also kept in m_SelText.
  WideString SelText();

  // Line store ---------------------------------------------------------------------------
  // The working copy protocol: the current line's text and geometry live in the m_Line…
  // fields while it is edited; GotoLine (or LoadLine, which leaves the current line number as
  // it is) loads a record into them, StoreLine writes them back, and a walk over other lines
  // brackets itself with PushPosition and PopPosition so that the current line and index come
  // back as they were.
  // Line n's record, or null; it also makes n the current line, without loading it.
  LineRecord* LineAt(int n);
  void LoadLine(int n);
  void GotoLine(int n);
  void StoreLine();
  void NewLine(int n, BOOL insert);
  // The document y of the bottom of line n's band.
  int LineBottom(int n) const { return n * m_LineHeight; }
  CString GetText();
  // The revision of the text GetText would return (the current line stored first): the same
  // number means the same text. 0 while a rebuild runs, when no number can be given.
  uint64_t TextRevision();
  int OffsetFromIndex(int index);
  int IndexFromOffset(int offset);
  int LineFromOffset(int offset);
  int LineFromY(int y);
  void PushPosition(BOOL store);
  void PopPosition();
  void LayoutTextRect();
  void ResetLines();
  void FreeLines();
  void ScrollCaretIntoView();
  int LineCount() const { return m_Lines.Count(); }

  // Rebuilding and line breaking ---------------------------------------------------------
  // The characters an edit replaces, [start, end) of a text of size characters.
  struct EditRange {
    int64_t start = 0;
    int64_t end = 0;
    int64_t size = 0;
  };
  void RebuildText(const CString& text, int caretOffset);
  // The end of every rebuild: the line stored, the caret at caretOffset and in view, the view,
  // scroll bar and caret shown, and ReadOnly as it was before the rebuild.
  void EndRebuild(int caretOffset, BOOL readOnly);
  // Feeds text to the end of the store as typing at its end would (CRs as hard breaks).
  void FeedText(std::string_view text);
  // While a long text is laid out from its start, the lines that fill the view are shown as
  // soon as they are broken: they are drawn and shown at once, then the rest is laid out.
  void ShowFirstScreen();
  // Feeds text to the emptied store, putting back instead the lines of previous where they
  // would come out the same; false (nothing done) when they cannot be kept.
  bool FeedKeepingLines(const CString& text, LineList::Detached& previous, int previousStartX);
  // Rebuilds after the range is replaced by inserted, as RebuildText would from the whole new
  // text, but breaking only the paragraphs the edit and typing since the last rebuild touched;
  // false, with nothing done, where that cannot give the same lines.
  bool RebuildEdit(const EditRange& range, const CString& inserted, int caretOffset);
  // The x the next new line would start at.
  int NextLineStartX() const { return m_LineDir == 1 ? m_LineRight : m_LineLeft; }
  RebuildLayout CurrentLayout() const;
  void AppendHardBreak();
  BOOL LineNeedsWrap();
  // Whether the working copy, into which c was just put at index at, is known to hold no space.
  bool StaysFreeOfSpaces(char c, size_t at);
  int FindWrapIndex();
  void WrapCurrentLine();
  CString SplitLineAtCaret();
  void PrependToLine(const CString& s);
  void MoveToNextLine(BOOL newLine);

  // Deletion -----------------------------------------------------------------------------
  // An edit changed the text: the host's dirty state says so, whoever made the edit.
  void NoteTextEdited();
  // The selection's range, or the caret's place when nothing is selected.
  EditRange SelectionRange();
  // The store's text with the range replaced by inserted.
  CString TextReplacing(const EditRange& range, const CString& inserted);
  void DeleteAtCaret(BOOL cut);
  void Clear();

  // Undo and redo ------------------------------------------------------------------------
  // Undo takes back the last step of the history, Redo makes the next undone step again:
  // the text, the caret, the selection and the view come back as they were. False when there
  // is no such step, the control is read-only (the history stays for later) or the text the
  // step would give does not fit MaxLength (nothing changes then).
  bool Undo();
  bool Redo();
  void OnEditUndo() { Undo(); }
  void OnEditRedo() { Redo(); }
  bool CanUndo() const;
  bool CanRedo() const;
  // Forgets every step: a host that opens a document by writing Text calls this after it.
  void ForgetUndoHistory();
  // The host's dirty state. A mark the control makes outside a text edit (a property write)
  // keeps the state set even when undo brings the text back to the step last saved.
  void SetModifiedFlag(BOOL modified = TRUE);
  // Whether typing makes an edit (its characters join one step) or it is a step of its own.
  enum class EditKind { Typing, Other };
  // Brackets a change of the text by a person or a host: what the change noted between its
  // start and its end becomes one step, with the caret, selection and view on either side. A
  // bracket inside another belongs to the outer one.
  class RecordedEdit {
   public:
    RecordedEdit(CKestrixCtrl& control, EditKind kind);
    ~RecordedEdit();
    RecordedEdit(const RecordedEdit&) = delete;
    RecordedEdit& operator=(const RecordedEdit&) = delete;

   private:
    CKestrixCtrl& control_;
  };
  // Inside a bracket: the characters from start that were removed and those that took
  // their place.
  void NoteReplaced(int64_t start, const CString& removed, const CString& inserted);
  // Replaces range by inserted through the edit rebuild (or a whole one where it cannot),
  // the caret at caretOffset, and notes the change with the characters the store took.
  void ReplaceAndNote(const EditRange& range, const CString& inserted, int caretOffset);
  EditPlace CurrentPlace();
  UndoHistory m_History;

  // Insertion ----------------------------------------------------------------------------
  // Only 0x20 to 0xFF are characters of the control: bytes of the Arabic code page.
  static BOOL IsCharacterCode(unsigned int c);
  // Whether c counts against MaxLength once a rebuild has kept it.
  static bool CountsTowardsLimit(char c, bool multiLine);
  BOOL CanInsertChar(unsigned int c);
  // Whether a bare character that arrives over a selection is taken in its place.
  bool AcceptsInPlaceOfSelection(unsigned int c);
  void InsertChar(unsigned int c);
  // Replaces the selection (or inserts at the caret) with s, or with the clipboard's text
  // when s is empty; without force only while Shift is down.
  void InsertText(const CString& s, int force);

  // Character classes and line direction -------------------------------------------------
  static CharClass ClassifyChar(int ch);
  int DetectLineDirection();

  // Font pair and drawing context --------------------------------------------------------
  void InitFonts();
  static LOGFONT FontToLogFont(LPFONTDISP font);
  void SelectFontPair();
  void UpdateMetrics();
  void AcquireDC();
  void ReleaseHeldDC();
  // Takes a context when none is held; true when the caller must give it back.
  bool BorrowDC();

  // Measurement and caret x positions ----------------------------------------------------
  SIZE TextExtent(std::string_view s);
  SIZE PrefixExtent(std::string_view s);
  void ComputeLineExtents();
  int XFromWidth(int a, int b) const;
  // Positions on the line count leftwards from its right end.
  bool IsRightMeasured() const;
  int CaretXFromIndex();
  int IndexFromX(int x);
  // IndexFromX, but never after the line's CR: the caret does not stand after a hard break.
  // With VisualCaret on, the index whose caret stands nearest x.
  int CaretIndexFromX(int x);

  // Caret positions where the characters are drawn (VisualCaret) -------------------------
  // The current line as it is drawn: each character's edges in client x and the direction of
  // its run, and the direction of the line's paragraph.
  struct DrawnLine {
    std::vector<DrawnChar> chars;
    bool rightToLeft = false;
  };
  DrawnLine LayOutDrawnLine();
  // The caret of index i > 0 stands on the trailing edge of character i - 1 as drawn, that of
  // index 0 on the leading edge of the first character; on an empty line, at its start.
  int DrawnCaretX(const DrawnLine& line, int index) const;
  // Whether the run the caret of index belongs to goes right to left.
  bool DrawnCaretRunsRightToLeft(const DrawnLine& line, int index) const;
  // The index a caret may take on the current line whose x is nearest x; the smaller of two.
  int DrawnIndexFromX(int x);
  // The spans the characters from..to (indices of the current line, to excluded) are drawn
  // over, smaller x first, those that touch joined, each kept within left..right.
  HighlightSpans DrawnSpans(int from, int to, int left, int right);
  // Left or Right: the caret goes to the nearest caret x on that side, or past the line's edge
  // to the next or previous line as the reading order has it. False when there is none.
  bool MoveToDrawnNeighbour(bool rightwards);
  void SetVisualCaret(BOOL visual);

  // Painting -----------------------------------------------------------------------------
  void PaintCurrentLine();
  void PaintLines(int first, int last);
  // Fills the view from top down, below the text's last line, with the background.
  void FillBelowText(int top);
  void MaskPassword(CString& s) const;

  // Caret --------------------------------------------------------------------------------
  void UpdateCaretSize();
  void UpdateCaret();
  void DrawCaret();
  void EraseCaret();

  // Vertical scrolling -------------------------------------------------------------------
  void CreateScrollBar();
  void PlaceScrollBar();
  int ShowOrHideScrollBar();
  void UpdateScrollInfo();
  void SyncScrollPos();
  void UpdateScrollBar();
  void SetFirstVisible(int n);
  void UpdateScrollOffset();
  void ScrollLineUp();
  void ScrollLineDown();

  // The text library in use.
  TextLibrary& TextLib() { return *m_TextLib; }
  // Changes the text library before the window is made (a host that created the control by
  // name and wants other metrics); false once there is a window.
  bool UseTextLibrary(TextLibrary& library);

  // Invariants ---------------------------------------------------------------------------
  // Empty when every rule of the control's state holds; else the first broken rule's name and
  // what broke it. Meant for between messages (nothing held, no gesture half-delivered).
  std::string Verify();
  // Empty when the screen shows what a full repaint from the fields shows (lines, highlight,
  // caret); else how many pixels differ and where the first is. Costs a repaint, which it
  // leaves on the screen. Not checked while a press is held.
  std::string VerifyScreen();
  // The pixels of the client area, over the rows the view describes, that differ from a full
  // repaint from the fields; where names the first. shown and expected receive both captures.
  int StalePixels(std::string* where = nullptr, Surface* shown = nullptr,
                  Surface* expected = nullptr);
  // Every field of the control, every line record, the scroll bar and the saved positions, one
  // per line of text: two controls in the same state describe themselves the same.
  std::string DescribeState();

  // Automation interface -----------------------------------------------------------------
  // The control's dispatch object (_DKestrix), not AddRef'd for the caller. Its references
  // are the control's own: they keep a control made by the class factory alive, while one
  // its host owns directly must outlive every reference handed out.
  IDispatch* GetIDispatch() { return &m_Automation; }
  IDispatch* GetDispatchInterface() override { return &m_Automation; }
  // Same-build hosts (the scripted host, tests) reach the object behind the interfaces.
  void* QueryControlInterface(REFIID riid) override;
  // Property writes of the get/set kind, with the steps a host's write takes.
  void SetReadOnly(BOOL readOnly);
  void SetPasswordChar(short ch);
  void SetAlignment(short alignment);
  void SetForeColor(OLE_COLOR color);
  // The held font's dispatch object; a write re-initialises the holder from a copy of the
  // given font (the stock font for null) and marks modified.
  LPFONTDISP GetFontAr() const { return m_FontAr.GetFontDispatch(); }
  void SetFontAr(LPFONTDISP font);
  LPFONTDISP GetFontEn() const { return m_FontEn.GetFontDispatch(); }
  void SetFontEn(LPFONTDISP font);
  // Shows the about box; see Dispatch.cpp.
  void AboutBox();
  // Registration answers and the one property page (ClassAnswers.cpp).
  BOOL GetClassID(CLSID* clsid) const override;
  std::string GetUserTypeName() const override;
  DWORD GetMiscStatus() const override { return kKestrixMiscStatus; }
  std::vector<CLSID> GetPropPageIDs() const override { return {CLSID_KestrixPropPage}; }
  IPropertyPage* CreatePropertyPage(REFCLSID clsid) override;

  // The dispatch interface; the control answers for it and counts its references.
  class Automation final
      : public com::Object<com::AnsweredByOwner<CKestrixCtrl>, com::Answer<IDispatch>>,
        private DispatchTarget {
   public:
    using Object::Object;
    HRESULT GetTypeInfoCount(UINT* count) override;
    HRESULT GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) override;
    HRESULT GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID lcid,
                          DISPID* dispids) override;
    HRESULT Invoke(DISPID member, REFIID riid, LCID lcid, WORD flags, DISPPARAMS* params,
                   VARIANT* result, EXCEPINFO* excepInfo, UINT* argErr) override;

   private:
    HRESULT GetProperty(DISPID dispid, VARIANT* result) override;
    HRESULT PutProperty(DISPID dispid, const VARIANT& value) override;
    HRESULT CallMethod(DISPID dispid, VARIANT* args, VARIANT* result) override;

    std::string error_;  // why the call under way failed, for the host's EXCEPINFO
  };

  // Members, in declaration order -------------------------------------------------------
  OLE_COLOR m_ForeColor = 0;
  std::unique_ptr<CScrollBar> m_pScrollBar;
  // Wheel turns not yet worth a notch (fine-grained wheels send less than 120 at a time).
  int m_WheelRest = 0;
  int m_Busy = 0;
  unsigned int m_BlinkTimer = 0;
  BOOL m_HasFocus = FALSE;
  BOOL m_CaretShown = FALSE;
  int m_CaretX = 0, m_CaretY = 0, m_CaretHeight = 0;
  // The text the store was last rebuilt from, as it was handed in (see TextSnapshot).
  CString& TextSnapshot();
  void SetTextSnapshot(const CString& text);
  bool TextSnapshotEmpty() const;
  // The text as the host gave it (loaded or written to Text), and what the store held right
  // after it was last rebuilt from it (none until then). While the store still holds exactly
  // that, nothing has been edited and a save writes the host's text back whole, even where
  // the store cut it (MaxLength, a single line).
  CString m_DocumentText;
  std::optional<CString> m_DocumentTextShown;
  // m_DocumentTextShown holds the host's text itself (nothing was cut from it).
  bool m_DocumentShownWhole = false;
  CString m_LineText;
  CString m_SelText;
  BOOL m_MouseDown = FALSE;
  BOOL m_WantTabs = FALSE;
  BOOL m_ReadOnly = FALSE;
  short m_Alignment = 0;
  short m_ReadingOrder = 0;
  short m_PasswordChar = 0;
  int m_LineDir = 0;
  // The width of the current line as ComputeLineExtents last measured it.
  int m_LineWidth = 0;
  // A prefix with the tatweel that gives its last letter its joining form, measured without a
  // new allocation each time the caret is placed.
  CString m_MeasuredPrefix;
  CDC* m_pDC = nullptr;
  CRect m_TextRect;
  LineList m_Lines;
  std::vector<SavedPosition> m_PositionStack;
  // Selection block.
  int m_SelPivotX = 0, m_SelAnchorX = 0, m_SelAnchorLine = 0, m_SelActiveLine = 0;
  int m_SelStart = 0, m_SelLength = 0, m_Selecting = 0, m_SelPrevX = 0, m_SelPrevY = 0;
  int m_SelCurX = 0, m_SelCurY = 0, m_SelDirection = 0;
  LOGFONT m_lfAr;
  LOGFONT m_lfEn;
  CFontHolder m_FontAr;
  CFontHolder m_FontEn;
  int m_Margin = 0, m_LineHeight = 0, m_CharIndex = 0, m_ScrollOffset = 0, m_Ascent = 0,
      m_Descent = 0, m_ScrollBarWidth = 0, m_LineLength = 0, m_CharCount = 0,
      m_LineStartX = 0, m_LineRight = 0, m_LineLeft = 0, m_LineY = 0, m_CurLine = 0,
      m_FirstVisible = 0, m_LastVisible = 0, m_VisibleLines = 0, m_BaselineLift = 0;
  BOOL m_MultiLines = FALSE;
  LONG m_MaxLength = 0;
  BOOL m_WordWrap = FALSE;
  BOOL m_Modified = FALSE;
  short m_Style = 0;
  short m_ScrollBars = 0;
  BOOL m_HideSelection = FALSE;
  BOOL m_WantReturn = FALSE;
  OLE_COLOR m_BackColor = 0;
  // The caret, clicks, Left and Right and the highlight go where the characters are drawn,
  // instead of by the width of the logical prefix from the line's aligned edge.
  BOOL m_VisualCaret = FALSE;
  // What a person expects of an editor: word moves and deletions, word and paragraph clicks,
  // a copy or cut of nothing left alone, Ctrl+End filling the view, a resize keeping the
  // caret's line, the reading-order chord taken on its release. Off, the control keeps the
  // behaviour hosts were written against.
  BOOL m_StandardEditing = FALSE;
  // The reading-order chord armed by a Shift key-down with Control, and that key's flags.
  bool m_ChordArmed = false;
  UINT m_ChordFlags = 0;
  // When and where the last double click fell (StandardEditing), for a triple click.
  bool m_DoubleClicked = false;
  uint64_t m_DoubleClickMs = 0;
  CPoint m_DoubleClickAt{0, 0};
  // The caret's flag points left (its run goes right to left); with VisualCaret off the
  // reading order decides.
  bool m_CaretFlagLeft = false;
  // A rebuild keeps the lines of the paragraphs that the new text shares with the old where
  // they would come out the same; off, it lays out the whole text (tests compare the two).
  bool m_KeepUnchangedLines = true;
  // Set while a rebuild lays out a text long enough to show its first screen before the rest.
  bool m_FirstScreenPending = false;
  // Line m_SpaceFreeLine (0: none) is known to hold no space in its first m_SpaceFreeLength
  // characters, so that a line typed or fed at its end is not searched again for each character.
  int m_SpaceFreeLine = 0;
  size_t m_SpaceFreeLength = 0;
  // The layout of the last rebuild, which its lines were broken for, and the x that new lines
  // of its first paragraph started at (a repaint while the store is reset may move it).
  std::optional<RebuildLayout> m_LaidOutFor;
  int m_LaidOutStartX = 0;

 private:
  void ClearSelectionBlock();
  // Paints line n from its record, leaving the working copy as it is.
  void RepaintStoredLine(int n);
  // Highlight helpers: the band of a line on screen, whether the highlight is kept off the
  // screen, inversion without that test, and the line loaded for its extents made current.
  int BandTop(int n) const;
  int BandBottom(int n) const;
  bool HighlightHidden() const;
  bool HighlightStored() const;
  void InvertSpan(int x1, int x2, int top, int bottom);
  // Inverts every span the record of line n shows over its band, InvertBand's way or
  // InvertSpan's.
  void InvertShownSpans(const LineRecord& record, int n, bool always);
  void InvertVisibleHighlights();
  void InvertHighlightsOnScreen();
  bool BandOnScreen(int n) const;
  void ShowSelectionOnFocusGain();
  void RepaintFromFields();
  void LoadLineAsCurrent(int n);

  // The offset where the last selection gesture was anchored: a later Shift+key or Shift
  // release goes on from it, whichever way the range was normalised meanwhile.
  int m_SelAnchorOffset = 0;
  // The lowest and highest lines given a highlight since the last collapse (0: none), so that
  // a collapse clears every one of them.
  int m_HighlightLow = 0;
  int m_HighlightHigh = 0;
  // The range the records and the screen show now (from == to: none).
  int m_ShownFrom = 0;
  int m_ShownTo = 0;
  void NoteHighlighted(int n);

  // The snapshot of the text the store was last rebuilt from. After an edit rebuilt in place it
  // is not copied: it is the store's text then, which is the store's text now without the
  // characters typed since, at the offsets noted (in the order typed).
  CString m_Text;
  bool m_TextIsStore = false;
  std::vector<int64_t> m_TypedSinceSnapshot;
  // The snapshot is the store's text from now on, until the next character typed.
  void SnapshotStore();
  // Notes a character typed at offset while the snapshot is the store's.
  void NoteTyped(int64_t offset);

  // Undo's bookkeeping: the bracket under way (its depth, kind, the place before it and the
  // change noted so far, or that what it changed could not be noted), and whether a mark
  // other than a text edit made the control dirty since the text was last saved.
  int m_EditDepth = 0;
  EditKind m_EditKind = EditKind::Other;
  EditPlace m_EditBefore;
  std::optional<UndoStep> m_EditNoted;
  bool m_EditUnnoted = false;
  bool m_ChangedBesideText = false;
  void CommitEdit();
  // While the host's dirty state is clear, the current step is the saved one.
  void NoteSavedStep();
  // Replaces the characters now at start (which must be now) by replacement for an undo or
  // a redo; false, with nothing changed, where they are not there or the limit would cut.
  bool ReplaceFromHistory(int64_t start, const CString& now, const CString& replacement);
  void RestorePlace(const EditPlace& place);

  // The MaxLength in force when a character was last inserted (0: none): the count never
  // exceeds it, though it may exceed a MaxLength the host lowered since.
  LONG m_GrowthLimit = 0;

  // A system key-down whose move has not yet been made, and its key as delivered.
  bool m_SysKeyPending = false;
  UINT m_SysKeyCode = 0;
  // The scroll offset when the caret was last drawn: erasing removes it from there only while
  // the view has not moved.
  int m_CaretDrawnOffset = 0;

  std::unique_ptr<TextLibrary> m_OwnTextLib;  // the shipped library's settings for this control
  TextLibrary* m_TextLib;
  Automation m_Automation{*this};
};

}  // namespace kestrix
