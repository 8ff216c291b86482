#pragma once

#include "session/DaySession.h"

#include <QDialog>

#include <array>
#include <functional>

class QComboBox;
class QLineEdit;
class QPushButton;

namespace tidewake {

// "直前情報": the race's exhibition times and start-exhibition courses as the official 直前情報
// gives them, one row a boat. OK hands what was typed to `enter`, which reads and takes it (the
// session) or says why not: the dialog then stays open on the field to correct. 消す forgets the
// race's entries through `clear`.
class frmChokuzen : public QDialog {
  Q_OBJECT

 public:
  struct Boat {
    QString name;  // the racer, as the card shows him
  };
  frmChokuzen(const QString& strRace, const std::array<Boat, 6>& boats, const ExhibitionForm& form, bool entered,
              std::function<ExhibitionRefusal(const ExhibitionForm&)> enter, std::function<void()> clear,
              QWidget* parent = nullptr);

  // What the fields hold now.
  ExhibitionForm Form() const;

 private:
  void Ok();

  std::array<QLineEdit*, 6> txtTenji{};
  std::array<QComboBox*, 6> cboCourse{};
  std::function<ExhibitionRefusal(const ExhibitionForm&)> mEnter;
};

}  // namespace tidewake
