// bulletml_read_test - the BulletML reader: every fault the library misreads
// or crashes on is a mistake with its exact place, what real files need is
// accepted, and expressions evaluate as the library evaluates them.
#include <gtest/gtest.h>

#include <string>  // texts
#include <vector>  // cases

#include "bulletml/bulletml_expression.h"  // expressions alone
#include "support/pattern_text.h"          // reading inline XML

namespace {

// A file whose third line is `line`: the mistakes it has are on line 3.
std::string third_line(const std::string& line) {
  return "<bulletml>\n<action label=\"top\">\n" + line + "\n</action>\n</bulletml>\n";
}

struct Tcase {
  std::string text;
  std::string mistake;  // the first one: "LINE:COLUMN: ..." (its beginning)
};

// Every case of the library's faults and the XML's, each refused at load
// where it stands.
TEST(BulletmlRead, EachFaultIsAMistakeAtItsPlace) {
  std::string deep = "<bulletml><action label=\"top\">";
  for (int i = 0; i < 70; ++i) deep += "<action>";
  const std::vector<Tcase> cases = {
      {"", "1:1: the file is empty"},
      {" \r\n\t", "1:1: the file is empty"},
      {third_line("<wait></wait>"), "3:1: empty value"},
      {third_line("<wait>2+</wait>"), "3:8: an operator without its right-hand value"},
      {third_line("<wait>$10</wait>"), "3:7: $10 is no parameter"},
      {third_line("<wait>$0</wait>"), "3:7: $0 is no parameter"},
      {third_line("<wait>1e1</wait>"), "3:7: an exponent is not part of the language"},
      {third_line("<wait>+2</wait>"), "3:7: a leading '+'"},
      {third_line("<wait>--2</wait>"), "3:7: two signs in a row"},
      {third_line("<wait>1.2.3</wait>"), "3:7: a malformed number"},
      {third_line("<wait>(1+2</wait>"), "3:7: a '(' without its ')'"},
      {third_line("<wait>1/0</wait>"), "3:7: a value that is not a finite number"},
      {third_line("<wait>$rnd</wait>"), "3:7: unknown variable $rnd (did you mean $rand?)"},
      {third_line("<wait>&foo;</wait>"), "3:7: unknown entity &foo;"},
      {third_line("<wait type=\"absolute\">1</wait>"), "3:7: <wait> takes no attributes"},
      {third_line("<speed>1</speed>"), "3:1: <speed> cannot stand directly in <action>"},
      {third_line("<changeDirection><direction>1</direction></changeDirection>"),
       "3:1: <changeDirection> without <term>"},
      {third_line("<changeSpeed><term>1</term></changeSpeed>"), "3:1: <changeSpeed> without <speed>"},
      {third_line("<accel><horizontal>1</horizontal></accel>"), "3:1: <accel> without <term>"},
      {third_line("<repeat><action/></repeat>"), "3:1: <repeat> without <times>"},
      {third_line("<repeat><times>2</times></repeat>"), "3:1: <repeat> without an <action>"},
      {third_line("<fire/>"), "3:1: <fire> without a <bullet>"},
      {third_line("<fire><bullet/><bulletRef label=\"b\"/></fire>"), "3:16: a second bullet in <fire>"},
      {third_line("<actionRef/>"), "3:1: <actionRef> without a label"},
      {third_line("<actionRef label=\"nowhere\"/>"), "3:19: no <action> labelled 'nowhere'"},
      {third_line("<fier><bullet/></fier>"), "3:1: unknown element <fier> (did you mean 'fire'?)"},
      {third_line("<fire><direction type=\"aimed\">0</direction><bullet/></fire>"),
       "3:24: unknown type 'aimed' of <direction> (did you mean 'aim'?)"},
      {third_line("<fire><speed type=\"aim\">0</speed><bullet/></fire>"), "3:20: unknown type 'aim' of <speed>"},
      {third_line("<fire lable=\"x\"><bullet/></fire>"), "3:7: unknown attribute 'lable' of <fire> (did you mean 'label'?)"},
      {third_line("<fire label=\"a\" label=\"b\"><bullet/></fire>"), "3:17: attribute 'label' given twice"},
      {third_line("<action>oops<fire><bullet/></fire></action>"), "3:9: text before the children of <action>"},
      {third_line("<wait>1<fire><bullet/></fire></wait>"), "3:8: <wait> takes a value, not elements"},
      {"<bulletml>\n<action label=\"main\"/>\n</bulletml>", "1:1: no top action"},
      {"<bulletml type=\"vertcal\">\n<action label=\"top\"/>\n</bulletml>",
       "1:17: unknown type 'vertcal' of <bulletml> (did you mean 'vertical'?)"},
      {"<bulletml>\n<action label=\"top\"/>\n<action label=\"top\"/>\n</bulletml>",
       "3:1: a second <action> labelled 'top' (the first is at line 2)"},
      {"<bulletml>\n<action label=\"top\"><actionRef label=\"a\"/></action>\n"
       "<action label=\"a\"><wait>1</wait><actionRef label=\"a\"/></action>\n</bulletml>",
       "3:33: this reference leads back to the action at line 3"},
      {"<bulletml>\n<action label=\"top\"/>\n</bulletml>\n<bulletml/>", "4:1: a second root element <bulletml>"},
      {"<bulletml><action label=\"top\"/></bulletml>\nhello", "2:1: text outside the root element"},
      {"<bulletml><action label=\"top\"></bulletml>", "1:31: a closing tag that does not match"},
      {"<bulletml><action label=\"top\" x></action></bulletml>", "1:32: XML syntax: expected ="},
      {"<bulletm><action label=\"top\"/></bulletm>", "1:1: the root element is <bulletm>, not <bulletml>"},
      {"<!DOCTYPE bulletml [<!ENTITY x \"5\">]>\n<bulletml><action label=\"top\"><wait>&x;</wait></action></bulletml>",
       "2:37: unknown entity &x;"},
      {deep, "1:527: elements nested deeper than 64"},
      // CRLF line ends count as one.
      {"<bulletml>\r\n<action label=\"top\">\r\n<wait>2+</wait>\r\n</action></bulletml>", "3:8: an operator"},
  };
  for (const Tcase& c : cases) {
    const std::string found = PATTERN_MISTAKES(c.text);
    EXPECT_EQ(found.compare(0, c.mistake.size(), c.mistake), 0) << "for:\n" << c.text << "\nfound:\n" << found;
  }
}

TEST(BulletmlRead, CollectsEveryMistakeAsRecordsUpToALimit) {
  std::vector<Tbulletml_mistake> mistakes;
  Tpattern pattern;
  EXPECT_FALSE(BULLETML_READ("a.xml", third_line("<wait>2+</wait><fire/><wait>$rnd</wait>"), pattern, mistakes));
  ASSERT_EQ(mistakes.size(), 3u);
  EXPECT_EQ(BULLETML_MISTAKE_TEXT(mistakes[0]), "a.xml:3:8: an operator without its right-hand value in <wait>");
  EXPECT_EQ(mistakes[1].column, 16);
  EXPECT_EQ(mistakes[2].column, 29);

  std::string many;
  for (int i = 0; i < 150; ++i) many += "<wait></wait>\n";
  EXPECT_FALSE(BULLETML_READ("a.xml", third_line(many), pattern, mistakes));
  ASSERT_EQ(mistakes.size(), static_cast<std::size_t>(VP_BULLETML_MAX_MISTAKES) + 1);
  EXPECT_NE(mistakes.back().message.find("reading stopped"), std::string::npos);
}

// What real files hold: an XML declaration, a DOCTYPE (never loaded), the
// default namespace, a byte-order mark, CRLF, children in any order,
// expressions across lines, comments, a label on a nested bullet.
TEST(BulletmlRead, AcceptsWhatRealFilesHold) {
  const std::string text =
      "\xEF\xBB\xBF<?xml version=\"1.0\" ?>\r\n"
      "<!DOCTYPE bulletml SYSTEM \"http://example.invalid/bulletml.dtd\">\r\n"
      "<bulletml type=\"horizontal\" xmlns=\"http://example.invalid/bulletml\">\r\n"
      "<!-- a comment -->\r\n"
      "<action label=\"top1\"><repeat><action><wait>1</wait></action><times>2\r\n + $rank</times></repeat>\r\n"
      "<fire><bullet label=\"inline\"/><direction type=\"absolute\">(1 +\r\n\t2)*3</direction></fire></action>\r\n"
      "<bullet label=\"b\"><action><vanish/></action><speed>&#49;</speed></bullet>\r\n"
      "</bulletml>\r\n";
  Tpattern pattern;
  std::string mistakes;
  ASSERT_TRUE(PATTERN_TEXT(text, pattern, mistakes)) << mistakes;
  EXPECT_TRUE(pattern.horizontal);
  ASSERT_EQ(pattern.top_actions.size(), 1u);
  EXPECT_EQ(pattern.nodes[static_cast<std::size_t>(pattern.top_actions[0])].line, 5);
  EXPECT_EQ(pattern.frame_depth, 3);  // top, repeat, its action
}

// A cycle through a wait is refused too (the library recurses one level a
// wait); a bullet that fires itself is no cycle: each is a new object.
TEST(BulletmlRead, CyclesOfActionReferencesOnly) {
  EXPECT_NE(PATTERN_MISTAKES("<bulletml><action label=\"top\"><actionRef label=\"b\"/></action>"
                             "<action label=\"b\"><repeat><times>2</times><action><wait>5</wait>"
                             "<actionRef label=\"top\"/></action></repeat></action></bulletml>")
                .find("cycle of references"),
            std::string::npos);
  EXPECT_EQ(PATTERN_MISTAKES("<bulletml><action label=\"top\"><fire><bulletRef label=\"b\"/></fire></action>"
                             "<bullet label=\"b\"><action><wait>9</wait><fire><bulletRef label=\"b\"/></fire>"
                             "</action></bullet></bulletml>"),
            "");
}

struct Tdraws {
  double next = 1.0;
  double operator()() { return next++; }
};

double evaluate(const std::string& text, const Tpattern_scope& scope = {}) {
  Tpattern pattern;
  int expr = -1;
  std::size_t at = 0;
  std::string message;
  EXPECT_TRUE(BULLETML_COMPILE_EXPRESSION(text.data(), text.size(), pattern, expr, at, message))
      << text << ": " << message;
  if (expr < 0) return 0.0;
  Tdraws draws;
  return PATTERN_EVALUATE(pattern, expr, scope, draws);
}

// The values the library gives (checked against it), but where it
// misreads: -(-2) is 2, and % is fmod.
TEST(BulletmlRead, ExpressionsEvaluateAsTheLibrary) {
  EXPECT_EQ(evaluate("1+2*3"), 7.0);
  EXPECT_EQ(evaluate("-74-10"), -84.0);
  EXPECT_EQ(evaluate("-2*3+1"), -5.0);
  EXPECT_EQ(evaluate("2*-3+1"), -5.0);
  EXPECT_EQ(evaluate("1-2-3"), -4.0);
  EXPECT_EQ(evaluate("8/2/2"), 2.0);
  EXPECT_EQ(evaluate("-(-2)"), 2.0);
  EXPECT_EQ(evaluate(" ( 1 +\n 2 ) * 3 "), 9.0);
  EXPECT_EQ(evaluate("-7 % 3"), -1.0);
  EXPECT_EQ(evaluate(".5+3."), 3.5);
  EXPECT_EQ(evaluate("0.1"), 0.1);
  // $rand draws left to right: 1, then 2, then 3.
  EXPECT_EQ(evaluate("$rand-$rand*10"), -19.0);
  EXPECT_EQ(evaluate("($rand+$rand*10)*100+$rand"), 2103.0);
  const double params[2] = {3.0, 4.0};
  Tpattern_scope scope;
  scope.params = params;
  scope.param_count = 2;
  scope.rank = 0.25;
  EXPECT_EQ(evaluate("$1*10+$2", scope), 34.0);
  EXPECT_EQ(evaluate("$3", scope), 1.0);  // a parameter not given is 1
  EXPECT_EQ(evaluate("$rank*2", scope), 0.5);
}

}  // namespace
