#pragma once

// One way to expect a failure: `statement` must throw RuntimeError numbered `number` (0: any
// number) whose description contains each text given after it. A statement that throws nothing
// fails the test, as does one that throws something else (gtest reports it).

#include "platform/RuntimeError.h"
#include "tests/common/QtPrinters.h"

#include <QString>

#include <initializer_list>

#include <gtest/gtest.h>

namespace tidewake::test {

template <typename... Texts>
void ExpectRuntimeErrorIs(const RuntimeError& e, int number, const Texts&... texts) {
  if (number != 0) {
    EXPECT_EQ(e.number(), number) << e.description().toStdString();
  }
  for (const QString& text : std::initializer_list<QString>{QString(texts)...}) {
    EXPECT_TRUE(e.description().contains(text))
        << "[" << text.toStdString() << "] not in [" << e.description().toStdString() << "]";
  }
}

}  // namespace tidewake::test

#define EXPECT_RUNTIME_ERROR(statement, number, ...)                                      \
  do {                                                                                    \
    try {                                                                                 \
      statement;                                                                          \
      ADD_FAILURE() << "no RuntimeError from: " #statement;                               \
    } catch (const ::tidewake::RuntimeError& caught_) {                                   \
      ::tidewake::test::ExpectRuntimeErrorIs(caught_, number __VA_OPT__(, ) __VA_ARGS__); \
    }                                                                                     \
  } while (false)
