// The three objects a screen reader finds: the application, its frame (the X window) and the
// text (the control), each answering from the accessible model and the host.
#include "platform/atk/AtkNodes.h"

#include <algorithm>

#include "framework/text/TextConversion.h"

namespace kestrix {

namespace {

struct Node {
  AtkObject parent;
  AtSpiPublisher::Impl* owner;
  NodeKind kind;
};

struct NodeClass {
  AtkObjectClass parent;
};

Node* AsNode(gpointer object) { return reinterpret_cast<Node*>(object); }
AtSpiPublisher::Impl& Owner(gpointer object) { return *AsNode(object)->owner; }
AccessibleText& Model(gpointer object) { return Owner(object).model; }

std::u16string Utf16FromUtf8(const char* utf8, gint length) {
  std::u16string out;
  if (!utf8) return out;
  const std::string_view text(utf8, length < 0 ? std::char_traits<char>::length(utf8) : static_cast<size_t>(length));
  for (size_t i = 0; i < text.size();) {
    char32_t c = 0;
    if (!NextUtf8Character(text, i, c)) c = 0xFFFD;
    if (c >= 0x10000) {
      out += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
      out += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
    } else {
      out += static_cast<char16_t>(c);
    }
  }
  return out;
}

gchar* Copy(const std::u16string& text) { return g_strdup(Utf8FromModelText(text).c_str()); }

// The offset of a point given in the coordinates asked for, from the window's top-left.
void ToWindow(AtSpiPublisher::Impl& owner, gint& x, gint& y, AtkCoordType coords) {
  if (coords != ATK_XY_SCREEN) return;
  int left = 0, top = 0;
  owner.host.windowOrigin(left, top);
  x -= left;
  y -= top;
}

void FromWindow(AtSpiPublisher::Impl& owner, gint& x, gint& y, AtkCoordType coords) {
  if (coords != ATK_XY_SCREEN) return;
  int left = 0, top = 0;
  owner.host.windowOrigin(left, top);
  x += left;
  y += top;
}

// AtkObject ------------------------------------------------------------------------------

gint NChildren(AtkObject* object) { return AsNode(object)->kind == NodeKind::Text ? 0 : 1; }

AtkObject* RefChild(AtkObject* object, gint i) {
  Node* node = AsNode(object);
  if (i != 0) return nullptr;
  AtkObject* child = node->kind == NodeKind::Application ? node->owner->frame
                     : node->kind == NodeKind::Frame     ? node->owner->text
                                                          : nullptr;
  return child ? ATK_OBJECT(g_object_ref(child)) : nullptr;
}

gint IndexInParent(AtkObject* object) { return AsNode(object)->kind == NodeKind::Application ? -1 : 0; }

AtkStateSet* RefStateSet(AtkObject* object) {
  AtkStateSet* set = atk_state_set_new();
  Node* node = AsNode(object);
  if (node->kind == NodeKind::Application) return set;
  for (AtkStateType s : {ATK_STATE_ENABLED, ATK_STATE_SENSITIVE, ATK_STATE_VISIBLE, ATK_STATE_SHOWING})
    atk_state_set_add_state(set, s);
  if (node->kind == NodeKind::Frame) {
    atk_state_set_add_state(set, ATK_STATE_RESIZABLE);
    if (node->owner->host.windowActive()) atk_state_set_add_state(set, ATK_STATE_ACTIVE);
    return set;
  }
  const AccessibleStates states = node->owner->model.States();
  atk_state_set_add_state(set, ATK_STATE_FOCUSABLE);
  if (states.focused) atk_state_set_add_state(set, ATK_STATE_FOCUSED);
  atk_state_set_add_state(set, states.readOnly ? ATK_STATE_READ_ONLY : ATK_STATE_EDITABLE);
  atk_state_set_add_state(set, states.multiLine ? ATK_STATE_MULTI_LINE : ATK_STATE_SINGLE_LINE);
  return set;
}

AtkObject* ParentOf(AtkObject* object) {
  Node* node = AsNode(object);
  return node->kind == NodeKind::Text    ? node->owner->frame
         : node->kind == NodeKind::Frame ? node->owner->application
                                         : nullptr;
}

void InitNodeClass(gpointer klass, gpointer) {
  AtkObjectClass* c = ATK_OBJECT_CLASS(klass);
  c->get_n_children = NChildren;
  c->ref_child = RefChild;
  c->get_index_in_parent = IndexInParent;
  c->ref_state_set = RefStateSet;
  c->get_parent = ParentOf;
}

// AtkComponent ---------------------------------------------------------------------------

void Extents(AtkComponent* component, gint* x, gint* y, gint* width, gint* height, AtkCoordType coords) {
  Node* node = AsNode(component);
  AtSpiHost& host = node->owner->host;
  int left = 0, top = 0, w = 0, h = 0;
  if (node->kind == NodeKind::Text) {
    host.controlOrigin(left, top);
    host.controlSize(w, h);
    if (coords == ATK_XY_SCREEN) FromWindow(*node->owner, left, top, coords);
  } else if (node->kind == NodeKind::Frame) {
    host.windowSize(w, h);
    if (coords != ATK_XY_WINDOW) host.windowOrigin(left, top);
  }
  if (x) *x = left;
  if (y) *y = top;
  if (width) *width = w;
  if (height) *height = h;
}

AtkObject* AccessibleAtPoint(AtkComponent* component, gint x, gint y, AtkCoordType coords) {
  Node* node = AsNode(component);
  if (node->kind != NodeKind::Frame) return nullptr;
  gint left = 0, top = 0, width = 0, height = 0;
  Extents(ATK_COMPONENT(node->owner->text), &left, &top, &width, &height, coords);
  if (x < left || y < top || x >= left + width || y >= top + height) return nullptr;
  return ATK_OBJECT(g_object_ref(node->owner->text));
}

void InitComponent(gpointer iface, gpointer) {
  auto* c = static_cast<AtkComponentIface*>(iface);
  c->get_extents = Extents;
  c->ref_accessible_at_point = AccessibleAtPoint;
}

// AtkText --------------------------------------------------------------------------------

gchar* GetText(AtkText* t, gint start, gint end) { return Copy(Model(t).TextRange(start, end)); }

gint CharacterCount(AtkText* t) { return static_cast<gint>(Model(t).CharacterCount()); }

gunichar CharacterAt(AtkText* t, gint offset) {
  const std::u16string c = Model(t).TextRange(offset, offset + 1);
  return c.empty() ? 0 : c[0];
}

gint CaretOffset(AtkText* t) { return static_cast<gint>(Model(t).CaretOffset()); }
gboolean SetCaretOffset(AtkText* t, gint offset) { return Model(t).SetCaretOffset(offset); }

TextUnit UnitOf(AtkTextGranularity granularity) {
  switch (granularity) {
    case ATK_TEXT_GRANULARITY_CHAR: return TextUnit::Character;
    case ATK_TEXT_GRANULARITY_WORD: return TextUnit::Word;
    case ATK_TEXT_GRANULARITY_LINE: return TextUnit::Line;
    default: return TextUnit::Paragraph;  // a sentence too: the text has no sentence rule
  }
}

TextUnit UnitOf(AtkTextBoundary boundary) {
  switch (boundary) {
    case ATK_TEXT_BOUNDARY_CHAR: return TextUnit::Character;
    case ATK_TEXT_BOUNDARY_WORD_START:
    case ATK_TEXT_BOUNDARY_WORD_END: return TextUnit::Word;
    case ATK_TEXT_BOUNDARY_LINE_START:
    case ATK_TEXT_BOUNDARY_LINE_END: return TextUnit::Line;
    default: return TextUnit::Paragraph;
  }
}

// The span at offset, or the one before or after it (-1, +1); empty at the offset when none.
gchar* SpanText(AtkText* t, gint offset, TextUnit unit, int step, gint* start, gint* end) {
  AccessibleText& model = Model(t);
  std::optional<TextSpan> span = model.TextAt(offset, unit);
  if (span && step < 0) span = span->start > 0 ? model.TextAt(span->start - 1, unit) : std::nullopt;
  if (span && step > 0) span = span->end < model.CharacterCount() ? model.TextAt(span->end, unit) : std::nullopt;
  if (!span) span = TextSpan{offset, offset, {}};
  if (start) *start = static_cast<gint>(span->start);
  if (end) *end = static_cast<gint>(span->end);
  return Copy(span->text);
}

gchar* StringAt(AtkText* t, gint offset, AtkTextGranularity g, gint* start, gint* end) {
  return SpanText(t, offset, UnitOf(g), 0, start, end);
}
gchar* TextAt(AtkText* t, gint offset, AtkTextBoundary b, gint* start, gint* end) {
  return SpanText(t, offset, UnitOf(b), 0, start, end);
}
gchar* TextBefore(AtkText* t, gint offset, AtkTextBoundary b, gint* start, gint* end) {
  return SpanText(t, offset, UnitOf(b), -1, start, end);
}
gchar* TextAfter(AtkText* t, gint offset, AtkTextBoundary b, gint* start, gint* end) {
  return SpanText(t, offset, UnitOf(b), 1, start, end);
}

void CharacterExtents(AtkText* t, gint offset, gint* x, gint* y, gint* width, gint* height, AtkCoordType coords) {
  AtSpiPublisher::Impl& owner = Owner(t);
  std::optional<ScreenBox> box = owner.model.CharacterBox(offset);
  int left = -1, top = -1, w = 0, h = 0;
  if (box) {
    owner.host.controlOrigin(left, top);
    left += box->x;
    top += box->y;
    w = box->width;
    h = box->height;
    FromWindow(owner, left, top, coords);
  }
  if (x) *x = left;
  if (y) *y = top;
  if (width) *width = w;
  if (height) *height = h;
}

gint OffsetAtPoint(AtkText* t, gint x, gint y, AtkCoordType coords) {
  AtSpiPublisher::Impl& owner = Owner(t);
  ToWindow(owner, x, y, coords);
  int left = 0, top = 0;
  owner.host.controlOrigin(left, top);
  return static_cast<gint>(owner.model.OffsetAtPoint(x - left, y - top).value_or(-1));
}

gint NSelections(AtkText* t) { return static_cast<gint>(Model(t).Selections().size()); }

gchar* Selection(AtkText* t, gint n, gint* start, gint* end) {
  const std::vector<TextSpan> spans = Model(t).Selections();
  if (n < 0 || static_cast<size_t>(n) >= spans.size()) {
    if (start) *start = 0;
    if (end) *end = 0;
    return nullptr;
  }
  if (start) *start = static_cast<gint>(spans[static_cast<size_t>(n)].start);
  if (end) *end = static_cast<gint>(spans[static_cast<size_t>(n)].end);
  return Copy(spans[static_cast<size_t>(n)].text);
}

// The control holds one selection: adding one replaces it.
gboolean AddSelection(AtkText* t, gint start, gint end) { return Model(t).SetSelection(start, end); }
gboolean SetSelection(AtkText* t, gint n, gint start, gint end) {
  return n == 0 && Model(t).SetSelection(start, end);
}
gboolean RemoveSelection(AtkText* t, gint n) {
  AccessibleText& model = Model(t);
  return n == 0 && !model.Selections().empty() && model.SetCaretOffset(model.CaretOffset());
}

void InitText(gpointer iface, gpointer) {
  auto* c = static_cast<AtkTextIface*>(iface);
  c->get_text = GetText;
  c->get_character_count = CharacterCount;
  c->get_character_at_offset = CharacterAt;
  c->get_caret_offset = CaretOffset;
  c->set_caret_offset = SetCaretOffset;
  c->get_string_at_offset = StringAt;
  c->get_text_at_offset = TextAt;
  c->get_text_before_offset = TextBefore;
  c->get_text_after_offset = TextAfter;
  c->get_character_extents = CharacterExtents;
  c->get_offset_at_point = OffsetAtPoint;
  c->get_n_selections = NSelections;
  c->get_selection = Selection;
  c->add_selection = AddSelection;
  c->set_selection = SetSelection;
  c->remove_selection = RemoveSelection;
}

// AtkEditableText ------------------------------------------------------------------------

void SetContents(AtkEditableText* t, const gchar* s) { Model(t).SetContents(Utf16FromUtf8(s, -1)); }

void Insert(AtkEditableText* t, const gchar* s, gint length, gint* position) {
  if (!position) return;
  const std::u16string text = Utf16FromUtf8(s, length);
  if (Model(t).InsertText(*position, text)) *position = static_cast<gint>(Model(t).CaretOffset());
}

void CopyRange(AtkEditableText* t, gint start, gint end) { Model(t).CopyText(start, end); }
void CutRange(AtkEditableText* t, gint start, gint end) { Model(t).CutText(start, end); }
void DeleteRange(AtkEditableText* t, gint start, gint end) { Model(t).DeleteText(start, end); }
void PasteAt(AtkEditableText* t, gint position) { Model(t).PasteText(position); }

void InitEditableText(gpointer iface, gpointer) {
  auto* c = static_cast<AtkEditableTextIface*>(iface);
  c->set_text_contents = SetContents;
  c->insert_text = Insert;
  c->copy_text = CopyRange;
  c->cut_text = CutRange;
  c->delete_text = DeleteRange;
  c->paste_text = PasteAt;
}

void NoInterfaceData(gpointer, gpointer) {}

// Types ----------------------------------------------------------------------------------

GType RegisterType(const char* name, bool text) {
  GType type = g_type_register_static_simple(ATK_TYPE_OBJECT, name, sizeof(NodeClass), InitNodeClass,
                                             sizeof(Node), nullptr, GTypeFlags(0));
  const GInterfaceInfo component{InitComponent, nullptr, nullptr};
  g_type_add_interface_static(type, ATK_TYPE_COMPONENT, &component);
  if (text) {
    const GInterfaceInfo textInfo{InitText, nullptr, nullptr};
    const GInterfaceInfo editable{InitEditableText, nullptr, nullptr};
    g_type_add_interface_static(type, ATK_TYPE_TEXT, &textInfo);
    g_type_add_interface_static(type, ATK_TYPE_EDITABLE_TEXT, &editable);
  } else {
    const GInterfaceInfo window{NoInterfaceData, nullptr, nullptr};
    g_type_add_interface_static(type, ATK_TYPE_WINDOW, &window);
  }
  return type;
}

}  // namespace

AtkObject* NewNode(NodeKind kind, AtSpiPublisher::Impl* owner) {
  static const GType containerType = RegisterType("KestrixAccessibleContainer", false);
  static const GType textType = RegisterType("KestrixAccessibleText", true);
  auto* object = ATK_OBJECT(g_object_new(kind == NodeKind::Text ? textType : containerType, nullptr));
  Node* node = AsNode(object);
  node->owner = owner;
  node->kind = kind;
  atk_object_set_role(object, kind == NodeKind::Application ? ATK_ROLE_APPLICATION
                              : kind == NodeKind::Frame     ? ATK_ROLE_FRAME
                                                            : ATK_ROLE_TEXT);
  return object;
}

}  // namespace kestrix
