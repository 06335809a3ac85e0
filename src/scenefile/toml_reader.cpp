// toml_reader.cpp - the checked reads of a TOML text and their reports.
#include "scenefile/toml_reader.h"

#include <cmath>    // isfinite, fabs
#include <cstdint>  // int64_t: TOML's integers
#include <cstdio>   // snprintf of values in messages
#include <cstdlib>  // strtof: floats as the decimal written
#include <cstring>  // strchr

namespace {

std::string number_text(double value) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.9g", value);
  return buffer;
}

const char* kind_of(const toml::node& node) {
  switch (node.type()) {
    case toml::node_type::string: return "a string";
    case toml::node_type::integer: return "a whole number";
    case toml::node_type::floating_point: return "a number with a fraction";
    case toml::node_type::boolean: return "true or false";
    case toml::node_type::table: return "a table";
    case toml::node_type::array: return "a list";
    default: return "a date or time";
  }
}

std::string quoted(const char* key) { return "`" + std::string(key) + "`"; }

}  // namespace

std::string QUOTED_WORDS(const std::vector<Tword>& words) {
  std::vector<std::string> items;
  for (const Tword& w : words) items.push_back("\"" + std::string(w.word) + "\"");
  return LIST_OR(items);
}

Ttoml_reader::Ttoml_reader(const std::string& text, const std::string& name, const char* kind)
    : text_(text), name_(name), kind_(kind), report_(name) {
  line_starts_.push_back(0);
  for (std::size_t i = 0; i < text.size(); ++i)
    if (text[i] == '\n') line_starts_.push_back(i + 1);
}

const toml::table* Ttoml_reader::PARSE() {
  for (std::size_t i = 0, line = 1, column = 1; i < text_.size(); ++i, ++column) {
    if (static_cast<unsigned char>(text_[i]) >= 0x80) {
      report_.ADD(static_cast<long>(line), static_cast<long>(column),
                  std::string("only plain ASCII characters may stand in ") + kind_ + ", comments included");
      return nullptr;
    }
    if (text_[i] == '\n') {
      ++line;
      column = 0;
    }
  }
  parsed_ = toml::parse(text_, name_);
  if (!parsed_) {
    std::string what(parsed_.error().description());
    const std::string prefix = "Error while parsing ";
    if (what.compare(0, prefix.size(), prefix) == 0) what = "syntax error in " + what.substr(prefix.size());
    ERROR(parsed_.error().source(), what);
    return nullptr;
  }
  return &parsed_.table();
}

void Ttoml_reader::ERROR(const toml::source_region& at, const std::string& what) {
  report_.ADD(static_cast<long>(at.begin.line), static_cast<long>(at.begin.column), what);
}

const toml::node* Ttoml_reader::ASK(const toml::table& table, const char* key) {
  asked_.push_back(key);
  return table.get(key);
}

void Ttoml_reader::CHECK_KEYS(const toml::table& table, const std::string& where) {
  const std::vector<const char*> known = asked_;
  asked_.clear();
  for (auto&& [key, node] : table) {
    const std::string name(key.str());
    const char* nearest = NEAREST_WORD(name, known);
    if (nearest && name == nearest) continue;
    std::string what = "unknown key `" + name + "`" + where;
    if (nearest) what += "; did you mean `" + std::string(nearest) + "`?";
    ERROR(key.source(), what);
  }
}

void Ttoml_reader::WHOLE(const toml::table& table, const char* key, long long min, long long max, int& out) {
  const toml::node* node = ASK(table, key);
  if (!node) return;
  const auto value = node->value_exact<std::int64_t>();
  if (!node->is_integer() || !value) {
    ERROR(node->source(), quoted(key) + " wants a whole number, not " + kind_of(*node));
  } else if (*value < min || *value > max) {
    ERROR(node->source(), quoted(key) + " is " + std::to_string(*value) + "; it must be from " + std::to_string(min) +
                              " to " + std::to_string(max));
  } else {
    out = static_cast<int>(*value);
  }
}

bool Ttoml_reader::NUMBER_OF(const toml::node& node, const std::string& what, double min, double max, float& out) {
  if (!node.is_number()) {
    ERROR(node.source(), what + " wants a number, not " + kind_of(node));
    return false;
  }
  const double value = node.is_integer() ? static_cast<double>(*node.value<std::int64_t>()) : *node.value<double>();
  if (!std::isfinite(value) || value < min || value > max) {
    ERROR(node.source(),
          what + " is " + number_text(value) + "; it must be from " + number_text(min) + " to " + number_text(max));
    return false;
  }
  out = node.is_integer() ? static_cast<float>(value) : float_as_written(node, value);
  return true;
}

void Ttoml_reader::NUMBER(const toml::table& table, const char* key, double min, double max, float& out) {
  if (const toml::node* node = ASK(table, key)) NUMBER_OF(*node, quoted(key), min, max, out);
}

void Ttoml_reader::NUMBER(const toml::table& table, const char* key, double min, double max, double& out) {
  const toml::node* node = ASK(table, key);
  if (!node) return;
  if (!node->is_number()) {
    ERROR(node->source(), quoted(key) + " wants a number, not " + kind_of(*node));
    return;
  }
  const double value = node->is_integer() ? static_cast<double>(*node->value<std::int64_t>()) : *node->value<double>();
  if (!std::isfinite(value) || value < min || value > max) {
    ERROR(node->source(), quoted(key) + " is " + number_text(value) + "; it must be from " + number_text(min) + " to " +
                              number_text(max));
    return;
  }
  out = value;
}

void Ttoml_reader::TEXT(const toml::table& table, const char* key, std::string& out) {
  const toml::node* node = ASK(table, key);
  if (!node) return;
  if (!node->is_string()) {
    ERROR(node->source(), quoted(key) + " wants a string, not " + kind_of(*node));
    return;
  }
  out = *node->value<std::string>();
}

void Ttoml_reader::FLAG(const toml::table& table, const char* key, int& out) {
  const toml::node* node = ASK(table, key);
  if (!node) return;
  if (!node->is_boolean()) {
    ERROR(node->source(), quoted(key) + " wants true or false, not " + kind_of(*node));
    return;
  }
  out = *node->value<bool>() ? 1 : 0;
}

void Ttoml_reader::WORD(const toml::table& table, const char* key, const std::vector<Tword>& words, int& out) {
  const toml::node* node = ASK(table, key);
  if (!node) return;
  const std::string allowed = QUOTED_WORDS(words);
  if (!node->is_string()) {
    ERROR(node->source(), quoted(key) + " wants one of " + allowed + ", not " + kind_of(*node));
    return;
  }
  const std::string given = *node->value<std::string>();
  for (const Tword& w : words)
    if (given == w.word) {
      out = w.value;
      return;
    }
  ERROR(node->source(), quoted(key) + " is \"" + given + "\"; it must be one of " + allowed);
}

const toml::table* Ttoml_reader::TABLE(const toml::table& table, const char* key) {
  const toml::node* node = ASK(table, key);
  if (!node) return nullptr;
  if (!node->is_table()) ERROR(node->source(), quoted(key) + " wants a table ([" + key + "])");
  return node->as_table();
}

// The decimal as written, rounded once to float: going through the parser's
// double first could round twice.
float Ttoml_reader::float_as_written(const toml::node& node, double value) const {
  const auto& at = node.source().begin;
  if (at.line < 1 || at.line > line_starts_.size()) return static_cast<float>(value);
  std::string token;
  for (std::size_t p = line_starts_[at.line - 1] + at.column - 1;
       p < text_.size() && text_[p] != '\0' && std::strchr("0123456789+-.eE_", text_[p]); ++p)
    if (text_[p] != '_') token += text_[p];
  char* end = nullptr;
  const float exact = token.empty() ? 0.0f : std::strtof(token.c_str(), &end);
  // Trusted only when it is the parser's number (a column counted past
  // other text on the line could point elsewhere).
  const bool same = end && *end == '\0' && std::fabs(static_cast<double>(exact) - value) <= std::fabs(value) * 1e-6;
  return same ? exact : static_cast<float>(value);
}
