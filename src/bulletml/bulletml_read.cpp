// bulletml_read.cpp - the XML read with rapidxml (header-only, used in this
// file alone), then every element checked and compiled into a pattern.
//
// rapidxml parses in place without changing the buffer (non-destructive
// mode), so every name and value it finds is a pointer into the text and
// its line and column follow from the offset. Without exceptions (the
// browser build has none) its error handler jumps back to the one place
// that started the parse; nothing with a destructor lies between.
#define RAPIDXML_NO_EXCEPTIONS
#include "bulletml/bulletml_read.h"

#include <sys/stat.h>  // stat: only regular files are read

#include <algorithm>  // min, upper_bound over line starts
#include <cerrno>     // errno of a failed open
#include <cmath>      // isfinite of a constant value
#include <csetjmp>    // the way back from rapidxml's error handler
#include <cstdlib>    // strtoul of a character reference
#include <cstring>    // strerror, strlen, strchr
#include <fstream>    // the file
#include <map>        // labels
#include <rapidxml/rapidxml.hpp>  // the XML parser, header-only, here alone

#include "bulletml/bulletml_expression.h"  // values
#include "core/mistakes.h"                 // EDIT_DISTANCE for near misses

namespace {

std::jmp_buf* g_parse_jump = nullptr;
const char* g_parse_what = nullptr;
const char* g_parse_where = nullptr;

}  // namespace

namespace rapidxml {
void parse_error_handler(const char* what, void* where) {
  g_parse_what = what;
  g_parse_where = static_cast<const char*>(where);
  std::longjmp(*g_parse_jump, 1);
}
}  // namespace rapidxml

namespace {

using Txml = rapidxml::xml_node<char>;
using Tattribute = rapidxml::xml_attribute<char>;

constexpr int k_parse_flags = rapidxml::parse_non_destructive | rapidxml::parse_validate_closing_tags;

// False, with rapidxml's message and place, when the text is not XML.
bool parse_xml(rapidxml::xml_document<char>& doc, char* text) {
  std::jmp_buf jump;
  g_parse_jump = &jump;
  if (setjmp(jump) != 0) {
    g_parse_jump = nullptr;
    return false;
  }
  doc.parse<k_parse_flags>(text);
  g_parse_jump = nullptr;
  return true;
}

enum Telement {
  E_BULLETML, E_BULLET, E_ACTION, E_FIRE, E_CHANGE_DIRECTION, E_CHANGE_SPEED, E_ACCEL, E_WAIT, E_VANISH, E_REPEAT,
  E_DIRECTION, E_SPEED, E_HORIZONTAL, E_VERTICAL, E_TERM, E_TIMES, E_BULLET_REF, E_ACTION_REF, E_FIRE_REF, E_PARAM,
  E_COUNT
};

const char* const k_element_names[E_COUNT] = {
    "bulletml", "bullet", "action", "fire", "changeDirection", "changeSpeed", "accel", "wait", "vanish", "repeat",
    "direction", "speed", "horizontal", "vertical", "term", "times", "bulletRef", "actionRef", "fireRef", "param"};

// Orders labels, counting the bytes it compares.
struct Tlabel_less {
  long long* work;
  bool operator()(const std::string& a, const std::string& b) const {
    *work += static_cast<long long>(std::min(a.size(), b.size())) + 1;
    return a < b;
  }
};

struct Tref {
  int node;
  Telement kind;  // E_BULLET, E_ACTION or E_FIRE: what it must name
  std::string label;
  const char* at;
};

struct Tlabelled {
  int node;
  const char* at;
};

class Treader {
 public:
  Treader(const std::string& name, const std::string& text, std::vector<Tbulletml_mistake>& mistakes,
          long long& work)
      : name_(name),
        text_(text),
        mistakes_(mistakes),
        work_(work),
        labels_{Tlabels(Tlabel_less{&work}), Tlabels(Tlabel_less{&work}), Tlabels(Tlabel_less{&work})},
        top_labels_{Tlabels(Tlabel_less{&work}), Tlabels(Tlabel_less{&work}), Tlabels(Tlabel_less{&work})} {
    line_starts_.push_back(0);
    for (std::size_t i = 0; i < text.size(); ++i)
      if (text[i] == '\n') line_starts_.push_back(i + 1);
  }

  bool READ(Tpattern& out);

 private:
  using Tlabels = std::map<std::string, Tlabelled, Tlabel_less>;

  // --- places and mistakes
  // No more mistakes are kept: what would only describe one is not worked
  // out. Asked where one has been found, so it marks that more follow.
  bool full() {
    if (mistakes_.size() < static_cast<std::size_t>(VP_BULLETML_MAX_MISTAKES)) return false;
    full_ = true;
    return true;
  }
  // The last line of a list cut short.
  void say_more_follow() {
    if (full_) mistakes_.push_back(Tbulletml_mistake{name_, mistakes_.back().line, mistakes_.back().column,
                                                     "more mistakes follow: reading stopped here"});
  }
  void mistake_at_offset(std::size_t offset, const std::string& message) {
    if (full()) {
      full_ = true;
      return;
    }
    offset = std::min(offset, text_.size());
    const std::size_t line = static_cast<std::size_t>(
        std::upper_bound(line_starts_.begin(), line_starts_.end(), offset) - line_starts_.begin());
    Tbulletml_mistake m;
    m.file = name_;
    m.line = static_cast<int>(line);
    m.column = static_cast<int>(offset - line_starts_[line - 1] + 1);
    m.message = message;
    mistakes_.push_back(m);
  }
  void mistake(const char* at, const std::string& message) {
    mistake_at_offset(static_cast<std::size_t>(at - buffer_.data()), message);
  }
  void place(const char* at, int& line, int& column) {
    const std::size_t offset = static_cast<std::size_t>(at - buffer_.data());
    const std::size_t l = static_cast<std::size_t>(
        std::upper_bound(line_starts_.begin(), line_starts_.end(), offset) - line_starts_.begin());
    line = static_cast<int>(l);
    column = static_cast<int>(offset - line_starts_[l - 1] + 1);
  }
  static const char* start_of(const Txml* e) { return e->name() - 1; }  // its '<'
  static std::string name_of(const Txml* e) { return std::string(e->name(), e->name_size()); }
  static std::string tag(Telement e) { return std::string("<") + k_element_names[e] + ">"; }

  // " (did you mean 'X'?)" for the nearest word of `words` (`key` gives an
  // entry's word), or nothing when none is near, when no more mistakes are
  // kept, or when the budget of near-miss cells is spent.
  template <class Twords, class Tkey>
  std::string nearest(const std::string& word, const Twords& words, Tkey key);
  std::string nearest(const std::string& word, const std::vector<std::string>& words) {
    return nearest(word, words, [](const std::string& w) -> const std::string& { return w; });
  }
  // A label read from attribute `a` into `label`; false, with the mistake
  // reported, when it has an unknown entity or is too long.
  bool read_label(const Tattribute* a, std::string& label);

  // --- the XML before rapidxml sees it
  bool nesting_ok();

  // Decodes the five entities and character references of `raw`, keeping
  // for each character of `out` its offset in the buffer. False, with the
  // mistake reported, at an unknown entity.
  bool decode(const char* raw, std::size_t size, std::string& out, std::vector<const char*>& places);

  // --- elements
  int element_of(const Txml* e, bool report);
  bool check_attributes(const Txml* e, Telement kind);
  // The element children of `e`, with its text refused (it takes none).
  std::vector<const Txml*> children(const Txml* e, Telement kind);
  int new_node(Tpattern_kind kind, const Txml* e);
  void register_label(const Txml* e, Telement kind, int node, bool top_level);
  int value(const Txml* e, Telement kind);
  Tpattern_type type_of(const Txml* e, Telement kind);
  Tpattern_value typed_value(const Txml* e, Telement kind) { return Tpattern_value{value(e, kind), type_of(e, kind)}; }

  int build_bullet(const Txml* e, bool top_level);
  int build_action(const Txml* e, bool top_level);
  int build_fire(const Txml* e, bool top_level);
  int build_ref(const Txml* e, Telement kind);
  int build_command(const Txml* e, Telement kind);
  int build_repeat(const Txml* e);
  int build_change(const Txml* e, Telement kind);

  bool resolve();
  void find_cycles();

  std::string name_;
  const std::string& text_;
  std::vector<Tbulletml_mistake>& mistakes_;
  std::vector<std::size_t> line_starts_;
  std::vector<char> buffer_;
  bool full_ = false;
  long long& work_;
  long long near_miss_cells_ = 0;
  Tpattern p_;
  std::vector<Tref> refs_;
  Tlabels labels_[3];      // bullet, action, fire: the last given
  Tlabels top_labels_[3];  // the first top-level one of each name
};

template <class Twords, class Tkey>
std::string Treader::nearest(const std::string& word, const Twords& words, Tkey key) {
  if (full()) return "";
  const std::size_t allowed = std::max<std::size_t>(2, word.size() / 3);
  const std::string* best = nullptr;
  std::size_t best_distance = 0;
  for (const auto& entry : words) {
    const std::string& w = key(entry);
    ++work_;
    // The distance is at least the difference of the lengths: a word too
    // much longer or shorter can be neither suggested nor the nearest of
    // those that can.
    const std::size_t gap = w.size() > word.size() ? w.size() - word.size() : word.size() - w.size();
    if (gap > allowed) continue;
    const long long cells = static_cast<long long>(word.size() + 1) * static_cast<long long>(w.size() + 1);
    if (near_miss_cells_ + cells > VP_BULLETML_NEAR_MISS_CELLS) return "";
    near_miss_cells_ += cells;
    work_ += cells;
    const std::size_t d = EDIT_DISTANCE(word, w, true);
    if (!best || d < best_distance) {
      best = &w;
      best_distance = d;
    }
  }
  if (best && best_distance <= allowed) return " (did you mean '" + *best + "'?)";
  return "";
}

bool Treader::read_label(const Tattribute* a, std::string& label) {
  std::vector<const char*> places;
  if (!decode(a->value(), a->value_size(), label, places)) return false;
  if (label.size() > static_cast<std::size_t>(VP_BULLETML_MAX_LABEL)) {
    mistake(a->value(), "a label of " + std::to_string(label.size()) + " bytes: a label has at most " +
                            std::to_string(VP_BULLETML_MAX_LABEL));
    return false;
  }
  return true;
}

int label_kind(Telement e) { return e == E_BULLET || e == E_BULLET_REF ? 0 : e == E_ACTION || e == E_ACTION_REF ? 1 : 2; }

bool Treader::nesting_ok() {
  const std::string& t = text_;
  const std::size_t n = t.size();
  int depth = 0;
  auto skip_past = [&](std::size_t from, const char* end) {
    const std::size_t found = t.find(end, from);
    return found == std::string::npos ? n : found + std::strlen(end);
  };
  for (std::size_t i = 0; i < n;) {
    if (t[i] != '<') {
      ++i;
      continue;
    }
    if (t.compare(i, 4, "<!--") == 0) {
      i = skip_past(i + 4, "-->");
    } else if (t.compare(i, 9, "<![CDATA[") == 0) {
      i = skip_past(i + 9, "]]>");
    } else if (t.compare(i, 2, "<?") == 0) {
      i = skip_past(i + 2, "?>");
    } else if (t.compare(i, 2, "<!") == 0) {
      int brackets = 0;
      for (++i; i < n && (t[i] != '>' || brackets > 0); ++i) brackets += t[i] == '[' ? 1 : t[i] == ']' ? -1 : 0;
      ++i;
    } else if (t.compare(i, 2, "</") == 0) {
      --depth;
      i = skip_past(i, ">");
    } else {
      const std::size_t open = i;
      char quote = 0;
      for (++i; i < n && (quote || t[i] != '>'); ++i) {
        if (quote && t[i] == quote) quote = 0;
        else if (!quote && (t[i] == '"' || t[i] == '\'')) quote = t[i];
      }
      if (i < n && t[i - 1] != '/' && ++depth > VP_BULLETML_MAX_NESTING) {
        mistake_at_offset(open, "elements nested deeper than " + std::to_string(VP_BULLETML_MAX_NESTING) +
                                    " (the deepest real pattern needs 11)");
        return false;
      }
      ++i;
    }
  }
  return true;
}

bool Treader::decode(const char* raw, std::size_t size, std::string& out, std::vector<const char*>& places) {
  out.clear();
  places.clear();
  for (std::size_t i = 0; i < size; ++i) {
    if (raw[i] != '&') {
      out += raw[i];
      places.push_back(raw + i);
      continue;
    }
    std::size_t end = i + 1;
    while (end < size && end - i < 12 && raw[end] != ';' && raw[end] != '&') ++end;
    if (end >= size || raw[end] != ';') {
      mistake(raw + i, "a '&' that begins no entity: write &amp; for the character");
      return false;
    }
    const std::string entity(raw + i + 1, end - i - 1);
    unsigned long code = 0;
    if (entity == "lt") code = '<';
    else if (entity == "gt") code = '>';
    else if (entity == "amp") code = '&';
    else if (entity == "quot") code = '"';
    else if (entity == "apos") code = '\'';
    else if (entity.size() > 1 && entity[0] == '#') {
      const bool hex = entity[1] == 'x';
      const std::string digits = entity.substr(hex ? 2 : 1);
      char* stop = nullptr;
      code = digits.empty() ? 0 : std::strtoul(digits.c_str(), &stop, hex ? 16 : 10);
      if (digits.empty() || *stop != '\0' || code == 0 || code > 0x10FFFF) {
        mistake(raw + i, "a character reference that names no character: &" + entity + ";");
        return false;
      }
    } else {
      mistake(raw + i, "unknown entity &" + entity +
                           "; (only &lt; &gt; &amp; &quot; &apos; and character references are known; the DOCTYPE is "
                           "never loaded)");
      return false;
    }
    // UTF-8, every byte placed at the '&'.
    char bytes[4];
    int count = 0;
    if (code < 0x80) {
      bytes[count++] = static_cast<char>(code);
    } else if (code < 0x800) {
      bytes[count++] = static_cast<char>(0xC0 | (code >> 6));
      bytes[count++] = static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
      bytes[count++] = static_cast<char>(0xE0 | (code >> 12));
      bytes[count++] = static_cast<char>(0x80 | ((code >> 6) & 0x3F));
      bytes[count++] = static_cast<char>(0x80 | (code & 0x3F));
    } else {
      bytes[count++] = static_cast<char>(0xF0 | (code >> 18));
      bytes[count++] = static_cast<char>(0x80 | ((code >> 12) & 0x3F));
      bytes[count++] = static_cast<char>(0x80 | ((code >> 6) & 0x3F));
      bytes[count++] = static_cast<char>(0x80 | (code & 0x3F));
    }
    for (int b = 0; b < count; ++b) {
      out += bytes[b];
      places.push_back(raw + i);
    }
    i = end;
  }
  return true;
}

int Treader::element_of(const Txml* e, bool report) {
  const std::string name = name_of(e);
  for (int i = 0; i < E_COUNT; ++i)
    if (name == k_element_names[i]) return i;
  if (report && !full()) {
    std::vector<std::string> words(k_element_names, k_element_names + E_COUNT);
    mistake(start_of(e), "unknown element <" + name + ">" + nearest(name, words));
  }
  return -1;
}

bool Treader::check_attributes(const Txml* e, Telement kind) {
  bool ok = true;
  std::vector<std::string> allowed;
  if (kind == E_BULLETML) allowed = {"type", "xmlns"};
  else if (kind == E_BULLET || kind == E_ACTION || kind == E_FIRE) allowed = {"label"};
  else if (kind == E_BULLET_REF || kind == E_ACTION_REF || kind == E_FIRE_REF) allowed = {"label"};
  else if (kind == E_DIRECTION || kind == E_SPEED || kind == E_HORIZONTAL || kind == E_VERTICAL) allowed = {"type"};
  // A repeated attribute is looked for among the allowed ones alone, each
  // remembered at its first: an unknown one is a mistake however often it
  // stands, and comparing every pair would be quadratic.
  std::vector<bool> given(allowed.size(), false);
  for (const Tattribute* a = e->first_attribute(); a; a = a->next_attribute()) {
    const std::string name(a->name(), a->name_size());
    work_ += static_cast<long long>(allowed.size()) + 1;
    const std::size_t known = static_cast<std::size_t>(std::find(allowed.begin(), allowed.end(), name) - allowed.begin());
    if (known < allowed.size() && !given[known]) {
      given[known] = true;
      continue;
    }
    ok = false;
    if (full()) break;
    if (known < allowed.size()) {
      mistake(a->name(), "attribute '" + name + "' given twice");
      continue;
    }
    if (allowed.empty()) {
      mistake(a->name(), tag(kind) + " takes no attributes, not '" + name + "'");
    } else {
      std::string list;
      for (const std::string& w : allowed) list += (list.empty() ? "'" : " or '") + w + "'";
      mistake(a->name(), "unknown attribute '" + name + "' of " + tag(kind) + nearest(name, allowed) + ": it takes " +
                             list);
    }
  }
  return ok;
}

std::vector<const Txml*> Treader::children(const Txml* e, Telement kind) {
  std::vector<const Txml*> out;
  bool text_reported = false;
  for (const Txml* c = e->first_node(); c; c = c->next_sibling()) {
    if (c->type() == rapidxml::node_element) {
      out.push_back(c);
      continue;
    }
    if (c->type() != rapidxml::node_data && c->type() != rapidxml::node_cdata) continue;
    std::size_t skip = 0;
    while (skip < c->value_size() && std::strchr(" \t\r\n", c->value()[skip]) && c->value()[skip] != '\0') ++skip;
    if (skip == c->value_size() || text_reported) continue;
    text_reported = true;
    bool element_after = false;
    for (const Txml* d = c->next_sibling(); d && !element_after; d = d->next_sibling())
      element_after = d->type() == rapidxml::node_element;
    const bool before = element_after && out.empty();
    mistake(c->value() + skip, before ? "text before the children of " + tag(kind) + ": it takes elements only"
                                      : tag(kind) + " takes elements only, not text");
  }
  return out;
}

int Treader::new_node(Tpattern_kind kind, const Txml* e) {
  Tpattern_node node;
  node.kind = kind;
  place(start_of(e), node.line, node.column);
  p_.nodes.push_back(node);
  return static_cast<int>(p_.nodes.size() - 1);
}

void Treader::register_label(const Txml* e, Telement kind, int node, bool top_level) {
  const Tattribute* a = e->first_attribute("label", 5);
  if (!a) return;
  std::string label;
  if (!read_label(a, label)) return;
  if (label.empty()) {
    mistake(a->value(), "an empty label");
    return;
  }
  const int k = label_kind(kind);
  if (top_level) {
    auto found = top_labels_[k].find(label);
    if (found != top_labels_[k].end()) {
      int line = 0, column = 0;
      place(found->second.at, line, column);
      mistake(start_of(e), "a second " + tag(kind) + " labelled '" + label + "' (the first is at line " +
                               std::to_string(line) + ")");
      return;
    }
    top_labels_[k][label] = Tlabelled{node, start_of(e)};
    if (kind == E_ACTION && label.compare(0, 3, "top") == 0) p_.top_actions.push_back(node);
  }
  labels_[k][label] = Tlabelled{node, start_of(e)};
}

Tpattern_type Treader::type_of(const Txml* e, Telement kind) {
  const Tattribute* a = e->first_attribute("type", 4);
  if (!a) return VP_TYPE_NONE;
  std::string word;
  std::vector<const char*> places;
  if (!decode(a->value(), a->value_size(), word, places)) return VP_TYPE_NONE;
  std::vector<std::string> words;
  if (kind == E_DIRECTION) words = {"aim", "absolute", "relative", "sequence"};
  else words = {"absolute", "relative", "sequence"};
  if (word == "aim" && kind == E_DIRECTION) return VP_TYPE_AIM;
  if (word == "absolute") return VP_TYPE_ABSOLUTE;
  if (word == "relative") return VP_TYPE_RELATIVE;
  if (word == "sequence") return VP_TYPE_SEQUENCE;
  std::string list;
  for (const std::string& w : words) list += (list.empty() ? "" : ", ") + w;
  mistake(a->value(), "unknown type '" + word + "' of " + tag(kind) + nearest(word, words) + ": it is one of " + list);
  return VP_TYPE_NONE;
}

int Treader::value(const Txml* e, Telement kind) {
  check_attributes(e, kind);
  std::string text;
  std::vector<const char*> places;
  std::string piece;
  std::vector<const char*> piece_places;
  bool element_reported = false;
  int pieces = 0;
  for (const Txml* c = e->first_node(); c; c = c->next_sibling()) {
    if (c->type() == rapidxml::node_element) {
      if (!element_reported) mistake(start_of(c), tag(kind) + " takes a value, not elements");
      element_reported = true;
      continue;
    }
    if (c->type() == rapidxml::node_data) {
      if (!decode(c->value(), c->value_size(), piece, piece_places)) return -1;
    } else if (c->type() == rapidxml::node_cdata) {
      piece.assign(c->value(), c->value_size());
      piece_places.clear();
      for (std::size_t i = 0; i < c->value_size(); ++i) piece_places.push_back(c->value() + i);
    } else {
      continue;
    }
    if (piece.find_first_not_of(" \t\r\n") == std::string::npos) continue;
    if (++pieces == 2) mistake(piece_places[0], "a value broken by a comment or an element");
    text += piece;
    places.insert(places.end(), piece_places.begin(), piece_places.end());
  }
  if (element_reported || pieces > 1) return -1;
  const std::size_t first = text.find_first_not_of(" \t\r\n");
  if (first == std::string::npos) {
    mistake(start_of(e), "empty value: " + tag(kind) + " needs a number or an expression");
    return -1;
  }
  // Every command evaluates its values afresh: a long one would make each
  // of a frame's commands as slow as reading it.
  const std::size_t length = text.find_last_not_of(" \t\r\n") + 1 - first;
  if (length > static_cast<std::size_t>(VP_BULLETML_MAX_VALUE)) {
    mistake(places[first], "a value of " + std::to_string(length) + " characters in " + tag(kind) + ": a value has at most " +
                               std::to_string(VP_BULLETML_MAX_VALUE));
    return -1;
  }
  int expr = -1;
  std::size_t error_at = 0;
  std::string message;
  if (!BULLETML_COMPILE_EXPRESSION(text.data(), text.size(), p_, expr, error_at, message)) {
    const char* at = error_at < places.size() ? places[error_at] : places.back();
    mistake(at, message + " in " + tag(kind));
    return -1;
  }
  Tpattern_expr& x = p_.exprs[static_cast<std::size_t>(expr)];
  place(start_of(e), x.line, x.column);
  if (x.is_constant && !std::isfinite(x.constant)) {
    mistake(places[first], "a value that is not a finite number (a division by zero?) in " + tag(kind));
    return -1;
  }
  return expr;
}

int Treader::build_bullet(const Txml* e, bool top_level) {
  check_attributes(e, E_BULLET);
  const int n = new_node(VP_NODE_BULLET, e);
  register_label(e, E_BULLET, n, top_level);
  std::vector<int> actions, action_refs;
  Tpattern_value direction, speed;
  const Txml* seen_direction = nullptr;
  const Txml* seen_speed = nullptr;
  for (const Txml* c : children(e, E_BULLET)) {
    const int k = element_of(c, true);
    if (k < 0) continue;
    if (k == E_DIRECTION || k == E_SPEED) {
      const Txml*& seen = k == E_DIRECTION ? seen_direction : seen_speed;
      if (seen) {
        mistake(start_of(c), "a second " + tag(static_cast<Telement>(k)) + " in <bullet>");
        continue;
      }
      seen = c;
      (k == E_DIRECTION ? direction : speed) = typed_value(c, static_cast<Telement>(k));
    } else if (k == E_ACTION) {
      actions.push_back(build_action(c, false));
    } else if (k == E_ACTION_REF) {
      action_refs.push_back(build_ref(c, E_ACTION_REF));
    } else {
      mistake(start_of(c), tag(static_cast<Telement>(k)) +
                               " cannot stand in <bullet>: it holds <direction>, <speed>, <action> and <actionRef>");
    }
  }
  // Its actions start one after another: the <action>s, then the <actionRef>s.
  Tpattern_node& node = p_.nodes[static_cast<std::size_t>(n)];
  node.direction = direction;
  node.speed = speed;
  node.first = static_cast<int>(p_.lists.size());
  node.count = static_cast<int>(actions.size() + action_refs.size());
  p_.lists.insert(p_.lists.end(), actions.begin(), actions.end());
  p_.lists.insert(p_.lists.end(), action_refs.begin(), action_refs.end());
  return n;
}

int Treader::build_action(const Txml* e, bool top_level) {
  check_attributes(e, E_ACTION);
  const int n = new_node(VP_NODE_ACTION, e);
  register_label(e, E_ACTION, n, top_level);
  std::vector<int> commands;
  for (const Txml* c : children(e, E_ACTION)) {
    const int k = element_of(c, true);
    if (k < 0) continue;
    const int command = build_command(c, static_cast<Telement>(k));
    if (command >= 0) commands.push_back(command);
  }
  Tpattern_node& node = p_.nodes[static_cast<std::size_t>(n)];
  node.first = static_cast<int>(p_.lists.size());
  node.count = static_cast<int>(commands.size());
  p_.lists.insert(p_.lists.end(), commands.begin(), commands.end());
  return n;
}

int Treader::build_command(const Txml* c, Telement k) {
  switch (k) {
    case E_ACTION: return build_action(c, false);
    case E_FIRE: return build_fire(c, false);
    case E_ACTION_REF:
    case E_FIRE_REF: return build_ref(c, k);
    case E_REPEAT: return build_repeat(c);
    case E_CHANGE_DIRECTION:
    case E_CHANGE_SPEED:
    case E_ACCEL: return build_change(c, k);
    case E_WAIT: {
      const int n = new_node(VP_NODE_WAIT, c);
      const int expr = value(c, E_WAIT);
      p_.nodes[static_cast<std::size_t>(n)].amount = expr;
      return expr >= 0 ? n : -1;
    }
    case E_VANISH: {
      check_attributes(c, E_VANISH);
      const std::vector<const Txml*> inside = children(c, E_VANISH);
      if (!inside.empty()) mistake(start_of(inside[0]), "<vanish> holds nothing");
      return new_node(VP_NODE_VANISH, c);
    }
    default:
      mistake(start_of(c), tag(k) + " cannot stand directly in <action>" +
                               (k == E_SPEED || k == E_DIRECTION ? ": it belongs in a <fire>, <bullet> or change" : ""));
      return -1;
  }
}

int Treader::build_fire(const Txml* e, bool top_level) {
  check_attributes(e, E_FIRE);
  const int n = new_node(VP_NODE_FIRE, e);
  register_label(e, E_FIRE, n, top_level);
  Tpattern_value direction, speed;
  const Txml* seen[E_COUNT] = {};
  int bullet = -1;
  const Txml* bullet_element = nullptr;
  for (const Txml* c : children(e, E_FIRE)) {
    const int k = element_of(c, true);
    if (k < 0) continue;
    if (k == E_DIRECTION || k == E_SPEED) {
      if (seen[k]) {
        mistake(start_of(c), "a second " + tag(static_cast<Telement>(k)) + " in <fire>");
        continue;
      }
      seen[k] = c;
      (k == E_DIRECTION ? direction : speed) = typed_value(c, static_cast<Telement>(k));
    } else if (k == E_BULLET || k == E_BULLET_REF) {
      if (bullet_element) {
        mistake(start_of(c), "a second bullet in <fire>: it fires one <bullet> or <bulletRef>");
        continue;
      }
      bullet_element = c;
      bullet = k == E_BULLET ? build_bullet(c, false) : build_ref(c, E_BULLET_REF);
    } else {
      mistake(start_of(c), tag(static_cast<Telement>(k)) +
                               " cannot stand in <fire>: it holds <direction>, <speed> and one <bullet> or <bulletRef>");
    }
  }
  if (!bullet_element) mistake(start_of(e), "<fire> without a <bullet> or <bulletRef>");
  Tpattern_node& node = p_.nodes[static_cast<std::size_t>(n)];
  node.direction = direction;
  node.speed = speed;
  node.target = bullet;
  return n;
}

int Treader::build_ref(const Txml* e, Telement kind) {
  check_attributes(e, kind);
  const Tpattern_kind node_kind =
      kind == E_ACTION_REF ? VP_NODE_ACTION_REF : kind == E_FIRE_REF ? VP_NODE_FIRE_REF : VP_NODE_BULLET_REF;
  const int n = new_node(node_kind, e);
  std::vector<int> params;
  for (const Txml* c : children(e, kind)) {
    const int k = element_of(c, true);
    if (k < 0) continue;
    if (k != E_PARAM) {
      mistake(start_of(c), tag(static_cast<Telement>(k)) + " cannot stand in " + tag(kind) + ": it holds <param>s");
      continue;
    }
    // Each would still be evaluated, and drawn from, at every call.
    if (params.size() == static_cast<std::size_t>(VP_PATTERN_PARAMS)) {
      mistake(start_of(c), "a <param> past the " + std::to_string(VP_PATTERN_PARAMS) + "th in " + tag(kind) +
                               ": a reference passes at most " + std::to_string(VP_PATTERN_PARAMS) + ", read as $1 to $" +
                               std::to_string(VP_PATTERN_PARAMS));
      break;
    }
    params.push_back(value(c, E_PARAM));
  }
  Tpattern_node& node = p_.nodes[static_cast<std::size_t>(n)];
  node.first = static_cast<int>(p_.lists.size());
  node.count = static_cast<int>(params.size());
  p_.lists.insert(p_.lists.end(), params.begin(), params.end());
  const Tattribute* a = e->first_attribute("label", 5);
  if (!a) {
    mistake(start_of(e), tag(kind) + " without a label: it names what it refers to");
    return n;
  }
  std::string label;
  if (!read_label(a, label)) return n;
  const Telement want = kind == E_ACTION_REF ? E_ACTION : kind == E_FIRE_REF ? E_FIRE : E_BULLET;
  refs_.push_back(Tref{n, want, label, a->value()});
  return n;
}

int Treader::build_repeat(const Txml* e) {
  check_attributes(e, E_REPEAT);
  const int n = new_node(VP_NODE_REPEAT, e);
  int times = -1, body = -1;
  const Txml* times_element = nullptr;
  const Txml* body_element = nullptr;
  for (const Txml* c : children(e, E_REPEAT)) {
    const int k = element_of(c, true);
    if (k < 0) continue;
    if (k == E_TIMES) {
      if (times_element) {
        mistake(start_of(c), "a second <times> in <repeat>");
        continue;
      }
      times_element = c;
      times = value(c, E_TIMES);
    } else if (k == E_ACTION || k == E_ACTION_REF) {
      if (body_element) {
        mistake(start_of(c), "a second action in <repeat>: it repeats one <action> or <actionRef>");
        continue;
      }
      body_element = c;
      body = k == E_ACTION ? build_action(c, false) : build_ref(c, E_ACTION_REF);
    } else {
      mistake(start_of(c), tag(static_cast<Telement>(k)) +
                               " cannot stand in <repeat>: it holds <times> and one <action> or <actionRef>");
    }
  }
  if (!times_element) mistake(start_of(e), "<repeat> without <times>");
  if (!body_element) mistake(start_of(e), "<repeat> without an <action> or <actionRef> to repeat");
  Tpattern_node& node = p_.nodes[static_cast<std::size_t>(n)];
  node.amount = times;
  node.target = body;
  return n;
}

int Treader::build_change(const Txml* e, Telement kind) {
  check_attributes(e, kind);
  const Tpattern_kind node_kind =
      kind == E_CHANGE_DIRECTION ? VP_NODE_CHANGE_DIRECTION : kind == E_CHANGE_SPEED ? VP_NODE_CHANGE_SPEED : VP_NODE_ACCEL;
  const int n = new_node(node_kind, e);
  const Txml* seen[E_COUNT] = {};
  Tpattern_value values[E_COUNT];
  int term = -1;
  std::vector<int> wanted;
  if (kind == E_CHANGE_DIRECTION) wanted = {E_DIRECTION, E_TERM};
  else if (kind == E_CHANGE_SPEED) wanted = {E_SPEED, E_TERM};
  else wanted = {E_HORIZONTAL, E_VERTICAL, E_TERM};
  for (const Txml* c : children(e, kind)) {
    const int k = element_of(c, true);
    if (k < 0) continue;
    if (std::find(wanted.begin(), wanted.end(), k) == wanted.end()) {
      std::string list;
      for (std::size_t i = 0; i < wanted.size(); ++i)
        list += (i == 0 ? "" : i + 1 == wanted.size() ? " and " : ", ") + tag(static_cast<Telement>(wanted[i]));
      mistake(start_of(c), tag(static_cast<Telement>(k)) + " cannot stand in " + tag(kind) + ": it holds " + list);
      continue;
    }
    if (seen[k]) {
      mistake(start_of(c), "a second " + tag(static_cast<Telement>(k)) + " in " + tag(kind));
      continue;
    }
    seen[k] = c;
    if (k == E_TERM) term = value(c, E_TERM);
    else values[k] = typed_value(c, static_cast<Telement>(k));
  }
  if (!seen[E_TERM]) mistake(start_of(e), tag(kind) + " without <term>: the frames it takes");
  if (kind == E_CHANGE_DIRECTION && !seen[E_DIRECTION]) mistake(start_of(e), "<changeDirection> without <direction>");
  if (kind == E_CHANGE_SPEED && !seen[E_SPEED]) mistake(start_of(e), "<changeSpeed> without <speed>");
  if (kind == E_ACCEL && !seen[E_HORIZONTAL] && !seen[E_VERTICAL])
    mistake(start_of(e), "<accel> without <horizontal> or <vertical>: a change of nothing");
  Tpattern_node& node = p_.nodes[static_cast<std::size_t>(n)];
  node.term = term;
  node.direction = values[E_DIRECTION];
  node.speed = values[E_SPEED];
  node.horizontal = values[E_HORIZONTAL];
  node.vertical = values[E_VERTICAL];
  return n;
}

bool Treader::resolve() {
  bool ok = true;
  const char* const kinds[3] = {"bullet", "action", "fire"};
  for (const Tref& r : refs_) {
    const int k = label_kind(r.kind);
    auto found = labels_[k].find(r.label);
    if (found == labels_[k].end()) {
      ok = false;
      if (full()) break;  // nothing more would be said
      const std::string near =
          nearest(r.label, labels_[k], [](const Tlabels::value_type& entry) -> const std::string& { return entry.first; });
      mistake(r.at, std::string("no <") + kinds[k] + "> labelled '" + r.label + "'" + near);
      continue;
    }
    p_.nodes[static_cast<std::size_t>(r.node)].target = found->second.node;
  }
  return ok;
}

// A cycle of action references would make the library recurse without end
// (with a wait in it, one level every wait): each is refused where the
// reference closing it stands.
void Treader::find_cycles() {
  const std::size_t count = p_.nodes.size();
  std::vector<int> state(count, 0);  // 0 unseen, 1 on the path, 2 done
  struct Tstep {
    int node;
    int next;  // the next child to look at
  };
  std::vector<Tstep> path;
  // The commands an action, a repeat or a reference runs in place; -2 past
  // the last.
  auto child_at = [&](const Tpattern_node& node, int i) {
    if (node.kind == VP_NODE_ACTION) return i < node.count ? p_.lists[static_cast<std::size_t>(node.first + i)] : -2;
    return i == 0 ? node.target : -2;
  };
  for (std::size_t start = 0; start < count; ++start) {
    if (p_.nodes[start].kind != VP_NODE_ACTION || state[start] != 0) continue;
    path.push_back(Tstep{static_cast<int>(start), 0});
    state[start] = 1;
    while (!path.empty()) {
      Tstep& step = path.back();
      const int child = child_at(p_.nodes[static_cast<std::size_t>(step.node)], step.next++);
      if (child == -2) {
        state[static_cast<std::size_t>(step.node)] = 2;
        path.pop_back();
        continue;
      }
      if (child < 0) continue;
      const Tpattern_kind kind = p_.nodes[static_cast<std::size_t>(child)].kind;
      if (kind != VP_NODE_ACTION && kind != VP_NODE_REPEAT && kind != VP_NODE_ACTION_REF) continue;
      if (state[static_cast<std::size_t>(child)] == 2) continue;
      if (state[static_cast<std::size_t>(child)] == 1) {
        const Tpattern_node& by = p_.nodes[static_cast<std::size_t>(step.node)];
        if (!full())
          mistakes_.push_back(Tbulletml_mistake{
              name_, by.line, by.column,
              "this reference leads back to the action at line " +
                  std::to_string(p_.nodes[static_cast<std::size_t>(child)].line) +
                  ", which it is part of: a cycle of references never ends"});
        continue;
      }
      state[static_cast<std::size_t>(child)] = 1;
      path.push_back(Tstep{child, 0});
    }
  }
}

bool Treader::READ(Tpattern& out) {
  if (text_.find_first_not_of(" \t\r\n") == std::string::npos ||
      (text_.compare(0, 3, "\xEF\xBB\xBF") == 0 && text_.find_first_not_of(" \t\r\n", 3) == std::string::npos)) {
    mistake_at_offset(0, "the file is empty: a pattern is one <bulletml> element");
    return false;
  }
  const std::size_t nul = text_.find('\0');
  if (nul != std::string::npos) {
    mistake_at_offset(nul, "a NUL byte: a BulletML file is text");
    return false;
  }
  if (!nesting_ok()) return false;
  buffer_.assign(text_.begin(), text_.end());
  buffer_.push_back('\0');
  rapidxml::xml_document<char> doc;
  if (!parse_xml(doc, buffer_.data())) {
    std::string what = g_parse_what ? g_parse_what : "not XML";
    if (what == "expected <") what = "text outside the root element";
    else if (what == "invalid closing tag name") {
      what = "a closing tag that does not match the element it closes";
      // rapidxml stops after the name: the place is where the tag begins.
      while (g_parse_where > buffer_.data() && !(g_parse_where[0] == '<' && g_parse_where[1] == '/')) --g_parse_where;
    }
    else what = "XML syntax: " + what;
    mistake(g_parse_where ? g_parse_where : buffer_.data(), what);
    return false;
  }
  const Txml* root = nullptr;
  for (const Txml* e = doc.first_node(); e; e = e->next_sibling()) {
    if (e->type() != rapidxml::node_element) continue;
    if (root) {
      mistake(start_of(e), "a second root element <" + name_of(e) + ">: a file holds one <bulletml>");
      continue;
    }
    root = e;
  }
  if (!root) {
    mistake_at_offset(0, "no <bulletml> element");
    return false;
  }
  if (name_of(root) != "bulletml") {
    const int k = element_of(root, false);
    mistake(start_of(root), "the root element is <" + name_of(root) + ">, not <bulletml>" +
                                (k < 0 ? nearest(name_of(root), {"bulletml"}) : ""));
    return false;
  }
  check_attributes(root, E_BULLETML);
  if (const Tattribute* a = root->first_attribute("type", 4)) {
    const std::string word(a->value(), a->value_size());
    if (word == "horizontal") p_.horizontal = true;
    else if (word != "vertical" && word != "none")
      mistake(a->value(), "unknown type '" + word + "' of <bulletml>" +
                              nearest(word, {"none", "vertical", "horizontal"}) + ": it is none, vertical or horizontal");
  }
  for (const Txml* c : children(root, E_BULLETML)) {
    const int k = element_of(c, true);
    if (k == E_BULLET) build_bullet(c, true);
    else if (k == E_ACTION) build_action(c, true);
    else if (k == E_FIRE) build_fire(c, true);
    else if (k >= 0)
      mistake(start_of(c), tag(static_cast<Telement>(k)) +
                               " cannot stand directly in <bulletml>: it holds <bullet>, <action> and <fire>");
  }
  if (p_.top_actions.empty())
    mistake(start_of(root), "no top action: an <action> directly in <bulletml> whose label begins with \"top\"");
  say_more_follow();
  if (!mistakes_.empty()) return false;
  const bool resolved = resolve();
  if (resolved) find_cycles();
  if (!mistakes_.empty()) {
    say_more_follow();
    return false;
  }
  int too_deep = -1;
  if (!PATTERN_MEASURE(p_, too_deep)) {
    const Tpattern_node& at = p_.nodes[static_cast<std::size_t>(too_deep)];
    Tbulletml_mistake m{name_, at.line, at.column,
                        "commands nested deeper than " + std::to_string(VP_PATTERN_MAX_DEPTH) +
                            " actions and repeats, references followed"};
    mistakes_.push_back(m);
    return false;
  }
  out = std::move(p_);
  return true;
}

}  // namespace

std::string BULLETML_MISTAKE_TEXT(const Tbulletml_mistake& m) {
  return m.file + ":" + std::to_string(m.line) + ":" + std::to_string(m.column) + ": " + m.message;
}

bool BULLETML_LOOKS_LIKE(const std::string& text) {
  std::size_t at = text.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
  at = text.find_first_not_of(" \t\r\n", at);
  return at != std::string::npos && text[at] == '<';
}

bool BULLETML_READ(const std::string& name, const std::string& text, Tpattern& pattern,
                   std::vector<Tbulletml_mistake>& mistakes, Tbulletml_read_work& work) {
  mistakes.clear();
  if (text.size() > static_cast<std::size_t>(VP_BULLETML_MAX_FILE_BYTES)) {
    mistakes.push_back(Tbulletml_mistake{name, 1, 1,
                                         "cannot read the pattern file (larger than " +
                                             std::to_string(VP_BULLETML_MAX_FILE_BYTES) +
                                             " bytes, the most a pattern file may hold)"});
    return false;
  }
  Treader reader(name, text, mistakes, work.steps);
  return reader.READ(pattern) && mistakes.empty();
}

bool BULLETML_READ(const std::string& name, const std::string& text, Tpattern& pattern,
                   std::vector<Tbulletml_mistake>& mistakes) {
  Tbulletml_read_work work;
  return BULLETML_READ(name, text, pattern, mistakes, work);
}

bool BULLETML_READ_FILE(const std::string& path, Tpattern& pattern, std::vector<Tbulletml_mistake>& mistakes) {
  mistakes.clear();
  const auto refuse = [&](const std::string& why) {
    mistakes.push_back(Tbulletml_mistake{path, 1, 1, "cannot read the pattern file (" + why + ")"});
    return false;
  };
  // Looked at before it is opened: opening a FIFO blocks until a writer comes.
  struct stat info;
  if (stat(path.c_str(), &info) != 0) return refuse(std::strerror(errno));
  if (!S_ISREG(info.st_mode)) return refuse("not a regular file");
  std::ifstream file(path, std::ios::binary);
  if (!file) return refuse(std::strerror(errno));
  std::string text(static_cast<std::size_t>(VP_BULLETML_MAX_FILE_BYTES) + 1, '\0');
  file.read(&text[0], static_cast<std::streamsize>(text.size()));
  if (file.bad()) return refuse(std::strerror(errno));
  // One byte past the limit is enough for BULLETML_READ to refuse it.
  text.resize(static_cast<std::size_t>(file.gcount()));
  return BULLETML_READ(path, text, pattern, mistakes);
}
