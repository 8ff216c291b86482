#pragma once

#include <QString>

#include <exception>

// Where a prediction routine's failure goes. Called on its own (the card, a test), a routine
// reports in a box titled with its name and "Err"; while a Capture lives, the failure is kept in
// the capture instead, so that a caller predicting many races can say it once.
namespace tidewake::mPredictReport {

// The box, or the innermost live capture. A non-RuntimeError gives its what() as the text.
void Report(const QString& strTitle, const std::exception& e);

// Keeps the first failure reported while it lives (those after it follow from it).
class Capture {
 public:
  Capture();
  ~Capture();
  Capture(const Capture&) = delete;
  Capture& operator=(const Capture&) = delete;

  bool Failed() const { return !title_.isEmpty(); }
  const QString& Title() const { return title_; }
  const QString& Text() const { return text_; }
  void Keep(const QString& strTitle, const QString& strText);

 private:
  Capture* previous_;
  QString title_, text_;
};

}  // namespace tidewake::mPredictReport
