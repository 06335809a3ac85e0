// Typed list: cursor, tail, null cursor and ownership of records.
#include <gtest/gtest.h>

#include "containers/list.h"
#include "platform/runtime_error.h"

namespace {

struct Trecord {
  int a = 0;
  float b = 0.0f;
};

int g_destroyed = 0;
struct Tcounted {
  int value = 0;
  ~Tcounted() { ++g_destroyed; }
};

TEST(List, NewListHasOnlyTheEmptyTail) {
  Tlist<Trecord> list;
  EXPECT_EQ(list.GETDATA_PTR(), nullptr);
  EXPECT_EQ(list.EMPTY(), 0);
  ASSERT_NE(list.GETNODE(), nullptr);
  EXPECT_EQ(list.GETLAST(), list.GETNODE());
  EXPECT_EQ(list.GETLIST(), list.GETNODE());
  EXPECT_EQ(list.GETNODE()->data, nullptr);
  EXPECT_EQ(list.GETNODE()->next, nullptr);
  EXPECT_EQ(list.GETDATA().a, 0);
}

TEST(List, AddFillsTheTailAndRestsOnTheNewRecord) {
  Tlist<Trecord> list;
  list.ADD(Trecord{7, 1.5f});
  auto* first = list.GETFIRST();
  ASSERT_NE(first->data, nullptr);
  EXPECT_EQ(first->data->a, 7);
  ASSERT_NE(first->next, nullptr);
  EXPECT_EQ(first->next->data, nullptr);
  EXPECT_EQ(first->next->next, nullptr);

  list.ADD(Trecord{8, 0.0f});
  list.ADD(Trecord{9, 0.0f});
  EXPECT_EQ(list.GETDATA_PTR()->a, 9);  // cursor on the newest record

  // Adding with the cursor on an early record still appends at the end.
  list.GETFIRST();
  list.ADD(Trecord{10, 0.0f});
  EXPECT_EQ(list.GETDATA().a, 10);
  int seen[4] = {};
  int n = 0;
  for (auto* node = list.GETFIRST(); node != nullptr; node = list.GETNEXT()) seen[n++] = node->data->a;
  ASSERT_EQ(n, 4);
  EXPECT_EQ(seen[0], 7);
  EXPECT_EQ(seen[1], 8);
  EXPECT_EQ(seen[2], 9);
  EXPECT_EQ(seen[3], 10);
  // The walk ended on the tail: no record there, and GETLAST is that node.
  EXPECT_EQ(list.GETDATA_PTR(), nullptr);
  EXPECT_EQ(list.GETNODE()->next, nullptr);
  EXPECT_EQ(list.GETLAST(), list.GETNODE());
}

TEST(List, AddWithoutValueReturnsZeroFilledLinkedRecord) {
  Tlist<Trecord> list;
  Trecord* r = list.ADD();
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(r->a, 0);
  r->a = 5;
  EXPECT_EQ(list.GETFIRST()->data, r);
}

TEST(List, GetlastFollowsFromTheCursor) {
  Tlist<Trecord> list;
  list.ADD(Trecord{1, 0});
  list.ADD(Trecord{2, 0});
  auto* cursor = list.GETNODE();
  auto* last = list.GETLAST();
  EXPECT_EQ(list.GETNODE(), cursor);
  EXPECT_EQ(last->next, nullptr);
  EXPECT_EQ(cursor->next, last);
}

TEST(List, StepOntoTailGivesNullAndStepPastItIsFatal) {
  Tlist<Trecord> list;
  list.ADD(Trecord{1, 0});
  list.GETFIRST();
  EXPECT_EQ(list.GETNEXT(), nullptr);  // onto the tail
  EXPECT_EQ(list.GETDATA_PTR(), nullptr);
  Tfatal_trap trap;
  try {
    list.GETNEXT();
    FAIL() << "stepping past the tail must stop";
  } catch (const Truntime_error& e) {
    EXPECT_EQ(e.code, VP_ERR_NULL_POINTER);
    EXPECT_NE(e.report.find("Tlist::GETNEXT()"), std::string::npos);
  }
}

TEST(List, NullCursorAnswersHarmlessly) {
  Tlist<Trecord> list;
  list.ADD(Trecord{1, 0});
  list.RELEASE();
  EXPECT_EQ(list.EMPTY(), -1);
  EXPECT_EQ(list.GETFIRST(), nullptr);  // no rewind
  EXPECT_EQ(list.GETNODE(), nullptr);
  EXPECT_EQ(list.GETNEXT(), nullptr);
  EXPECT_EQ(list.GETLAST(), nullptr);
  EXPECT_EQ(list.GETDATA_PTR(), nullptr);
  EXPECT_EQ(list.GETDATA().a, 0);
  list.ADD(Trecord{2, 0});  // ignored
  EXPECT_EQ(list.EMPTY(), -1);
  Trecord* loose = list.ADD();  // not linked: the caller owns it
  ASSERT_NE(loose, nullptr);
  EXPECT_EQ(loose->a, 0);
  EXPECT_EQ(list.GETNODE(), nullptr);
  delete loose;
}

TEST(List, DestroyingFreesEveryRecord) {
  g_destroyed = 0;
  {
    Tlist<Tcounted> list;
    Tcounted c;
    for (int i = 0; i < 5; ++i) list.ADD(c);
    g_destroyed = 0;  // the temporaries above do not count
  }
  // The local copy and the 5 records the list owned.
  EXPECT_EQ(g_destroyed, 6);
}

}  // namespace
