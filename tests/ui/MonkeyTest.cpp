// Thousands of random user actions on the real window, with a fixed seed. After every action each
// grid must hold exactly what the engine computes for the current inputs (or keep its previous
// texts where a failure was reported), and the program must still be running.
// GUSTRULE_MONKEY_ACTIONS sets the number of actions (default 3000) and GUSTRULE_MONKEY_SEED the
// seed, for longer local runs.
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QtTest>

#include <memory>
#include <random>

#include "CellGrid.h"
#include "Constants.h"
#include "Conversions.h"
#include "Duct.h"
#include "FailureReport.h"
#include "Failures.h"
#include "RectDuct.h"
#include "RoundDuct.h"
#include "TextGrid.h"
#include "WindowTestSteps.h"

namespace {

// A grid's texts as the engine would leave them, kept beside the window's grid.
struct Mirror {
  gustrule::CellGrid cells;
  void MoveRow(int from, int to) {
    std::vector<std::vector<std::string>> rows;
    for (int r = 0; r < cells.Rows(); ++r) {
      std::vector<std::string> row;
      for (int c = 0; c < cells.Columns(); ++c) {
        row.push_back(cells.Cell(c, r));
      }
      rows.push_back(row);
    }
    auto moved = rows[static_cast<std::size_t>(from)];
    rows.erase(rows.begin() + from);
    rows.insert(rows.begin() + to, moved);
    for (int r = 0; r < cells.Rows(); ++r) {
      for (int c = 0; c < cells.Columns(); ++c) {
        cells.SetCell(c, r, rows[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)]);
      }
    }
  }
};

Mirror CopyOf(const TextGrid* grid) {
  Mirror mirror{gustrule::CellGrid(grid->ColumnCount(), grid->RowCount())};
  for (int r = 0; r < grid->RowCount(); ++r) {
    for (int c = 0; c < grid->ColumnCount(); ++c) {
      mirror.cells.SetCell(c, r, grid->Cell(c, r).toStdString());
    }
  }
  return mirror;
}

bool Same(const TextGrid* grid, const Mirror& mirror, QString* where) {
  for (int r = 0; r < grid->RowCount(); ++r) {
    for (int c = 0; c < grid->ColumnCount(); ++c) {
      const QString expected = QString::fromStdString(mirror.cells.Cell(c, r));
      if (grid->Cell(c, r) != expected) {
        *where = QStringLiteral("%1 cell (%2, %3): shows \"%4\", expected \"%5\"")
                     .arg(grid->objectName())
                     .arg(c)
                     .arg(r)
                     .arg(grid->Cell(c, r), expected);
        return false;
      }
    }
  }
  return true;
}

int FromEnvironment(const char* name, int fallback) {
  bool ok = false;
  const int value = qEnvironmentVariableIntValue(name, &ok);
  return ok ? value : fallback;
}

} // namespace

class MonkeyTest : public QObject {
  Q_OBJECT

private slots:
  void randomActionsKeepEveryGridConsistent();

private:
  QString RandomText(int maxLength);
  QLineEdit* RandomEdit();
  void Act(QString* described);

  std::mt19937 random_;
  std::unique_ptr<TQuellbornDuct> window_;
};

QString MonkeyTest::RandomText(int maxLength) {
  static const QString alphabet =
      QStringLiteral("0123456789012345678901234567890.,.-+eE   x³/\t1e-400e9");
  const int length = std::uniform_int_distribution<int>(0, maxLength)(random_);
  QString text;
  for (int i = 0; i < length; ++i) {
    text += alphabet[std::uniform_int_distribution<qsizetype>(0, alphabet.size() - 1)(random_)];
  }
  return text;
}

QLineEdit* MonkeyTest::RandomEdit() {
  auto& w = *window_;
  const std::array<QLineEdit*, 8> edits = {
      w.EditRoundVolume, w.EditRoundLength, w.EditRectAirVol, w.EditRectSideA,
      w.EditRectSideB,   w.EditRectLength,  w.EditVolConv,    w.ComboBoxVFUnits->lineEdit()};
  return edits[std::uniform_int_distribution<std::size_t>(0, edits.size() - 1)(random_)];
}

void MonkeyTest::Act(QString* described) {
  auto& w = *window_;
  const int kind = std::uniform_int_distribution<int>(0, 99)(random_);
  if (kind < 35) {
    // One keystroke per action: each keystroke runs its calculation, and may fail, on its own.
    QLineEdit* edit = RandomEdit();
    QString text = RandomText(1);
    if (text.isEmpty()) {
      text = QStringLiteral("5");
    }
    *described = QStringLiteral("type \"%1\" into %2").arg(text, edit->objectName());
    edit->setCursorPosition(
        std::uniform_int_distribution<int>(0, static_cast<int>(edit->text().size()))(random_));
    QTest::keyClicks(edit, text);
  } else if (kind < 50) {
    QLineEdit* edit = RandomEdit();
    *described = QStringLiteral("backspace in %1").arg(edit->objectName());
    QTest::keyClick(edit, Qt::Key_Backspace);
  } else if (kind < 62) {
    QLineEdit* edit = RandomEdit();
    const QString text = RandomText(12);
    *described = QStringLiteral("paste \"%1\" over %2").arg(text, edit->objectName());
    QApplication::clipboard()->setText(text);
    if (std::bernoulli_distribution(0.5)(random_)) {
      edit->selectAll();
    }
    QTest::keySequence(edit, QKeySequence::Paste);
  } else if (kind < 72) {
    const bool down = std::bernoulli_distribution(0.5)(random_);
    *described =
        QStringLiteral("unit list %1").arg(down ? QStringLiteral("down") : QStringLiteral("up"));
    QTest::keyClick(w.ComboBoxVFUnits, down ? Qt::Key_Down : Qt::Key_Up);
  } else if (kind < 77) {
    static const QStringList units = {QStringLiteral("l/s"),    QStringLiteral("m³/s"),
                                      QStringLiteral("m³/min"), QStringLiteral("m³/hr"),
                                      QStringLiteral("m3/s"),   QStringLiteral(" l/s")};
    const QString unit =
        units[std::uniform_int_distribution<qsizetype>(0, units.size() - 1)(random_)];
    *described = QStringLiteral("paste unit \"%1\"").arg(unit);
    QApplication::clipboard()->setText(unit);
    w.ComboBoxVFUnits->lineEdit()->selectAll();
    QTest::keySequence(w.ComboBoxVFUnits->lineEdit(), QKeySequence::Paste);
  } else if (kind < 85) {
    QRadioButton* choice = std::bernoulli_distribution(0.5)(random_) ? w.RadioGroupDTChoice(0)
                                                                     : w.RadioGroupDTChoice(1);
    *described = QStringLiteral("click %1").arg(choice->text());
    w.PageControl->setCurrentIndex(0);
    QTest::mouseClick(choice, Qt::LeftButton);
  } else if (kind < 91) {
    *described = QStringLiteral("ctrl+tab");
    QWidget* focused = QApplication::focusWidget() != nullptr ? QApplication::focusWidget()
                                                              : w.PageControl->tabBar();
    QTest::keyClick(focused, Qt::Key_Tab, Qt::ControlModifier);
  } else {
    w.PageControl->setCurrentIndex(0);
    TextGrid* grid = w.SGRoundDuct;
    const int from = std::uniform_int_distribution<int>(1, 24)(random_);
    const int to = std::uniform_int_distribution<int>(1, 24)(random_);
    *described = QStringLiteral("drag row %1 to %2").arg(from).arg(to);
    const QPoint start = grid->CellRect(0, from).center();
    const QPoint end = grid->CellRect(0, to).center();
    QTest::mousePress(grid->viewport(), Qt::LeftButton, Qt::NoModifier, start);
    QTest::mouseMove(grid->viewport(), end);
    QTest::mouseRelease(grid->viewport(), Qt::LeftButton, Qt::NoModifier, end);
  }
}

void MonkeyTest::randomActionsKeepEveryGridConsistent() {
  const int actions = FromEnvironment("GUSTRULE_MONKEY_ACTIONS", 3000);
  random_.seed(static_cast<unsigned>(FromEnvironment("GUSTRULE_MONKEY_SEED", 20261208)));
  int reports = 0;
  SetFailurePresenter([&reports](const QString&, const QString&) { ++reports; });
  window_ = std::make_unique<TQuellbornDuct>();
  QVERIFY(ShowAndWait(*window_, Shown::Active));
  auto& w = *window_;

  gustrule::SharedConstants constants;
  gustrule::SetSharedConstants(constants);
  gustrule::Conversions conversions;
  Mirror round = CopyOf(w.SGRoundDuct);
  Mirror rect = CopyOf(w.SGRectDuct);
  Mirror conv = CopyOf(w.SGconversions);
  connect(w.SGRoundDuct, &TextGrid::RowMoved, this,
          [&round](int from, int to) { round.MoveRow(from, to); });

  const auto texts = [&w] {
    return QStringList{w.EditRoundVolume->text(),
                       w.EditRoundLength->text(),
                       QString::number(w.RadioGroupDTItemIndex()),
                       w.EditRectAirVol->text(),
                       w.EditRectSideA->text(),
                       w.EditRectSideB->text(),
                       w.EditRectLength->text(),
                       w.EditVolConv->text(),
                       w.ComboBoxVFUnits->currentText()};
  };
  int failures = 0;
  const auto expect = [&failures](auto&& calculation) {
    try {
      calculation();
    } catch (const gustrule::Exception&) {
      ++failures;
    }
  };
  // The window runs one calculation per notification, so the mirrors do the same: count the
  // notifications of each page during an action (pasting the same text over a selection notifies
  // too, as any edit does).
  std::array<int, 3> notified{};
  for (QLineEdit* edit : {w.EditRoundVolume, w.EditRoundLength}) {
    connect(edit, &QLineEdit::textEdited, this, [&notified] { ++notified[0]; });
  }
  for (QLineEdit* edit : {w.EditRectAirVol, w.EditRectSideA, w.EditRectSideB, w.EditRectLength}) {
    connect(edit, &QLineEdit::textEdited, this, [&notified] { ++notified[1]; });
  }
  connect(w.EditVolConv, &QLineEdit::textEdited, this, [&notified] { ++notified[2]; });
  connect(w.ComboBoxVFUnits, &QComboBox::editTextChanged, this, [&notified] { ++notified[2]; });
  connect(w.RadioGroupDTChoice(0), &QRadioButton::toggled, this, [&notified] { ++notified[0]; });

  int calculations = 0;
  for (int i = 0; i < actions; ++i) {
    const QStringList before = texts();
    notified = {};
    QString described;
    Act(&described);
    const QStringList after = texts();
    const auto utf8 = [&after](int k) { return after[k].toStdString(); };
    const std::array<bool, 3> changed = {after.mid(0, 3) != before.mid(0, 3),
                                         after.mid(3, 4) != before.mid(3, 4),
                                         after.mid(7, 2) != before.mid(7, 2)};
    for (std::size_t page = 0; page < 3; ++page) {
      QVERIFY2(!changed[page] || notified[page] > 0,
               qPrintable(
                   QStringLiteral("after action %1 (%2): an input changed without a recalculation")
                       .arg(i)
                       .arg(described)));
    }
    for (int n = 0; n < notified[0]; ++n, ++calculations) {
      expect([&] {
        gustrule::RoundDuctCalc(constants, utf8(0), utf8(1),
                                gustrule::DuctMaterials[after[2] == QStringLiteral("0") ? 0 : 1],
                                round.cells);
      });
    }
    for (int n = 0; n < notified[1]; ++n, ++calculations) {
      expect([&] {
        gustrule::RectDuctCalc(constants, utf8(3), utf8(4), utf8(5), utf8(6), rect.cells);
      });
    }
    for (int n = 0; n < notified[2]; ++n, ++calculations) {
      expect([&] { conversions.Calc(utf8(7), utf8(8), conv.cells); });
    }
    QVERIFY2(
        w.SGRoundDuct->Cell(0, 1) == QStringLiteral("Ø (mm)"),
        qPrintable(
            QStringLiteral("after action %1 (%2): the headings left row 1").arg(i).arg(described)));
    QString where;
    QVERIFY2(Same(w.SGRoundDuct, round, &where) && Same(w.SGRectDuct, rect, &where) &&
                 Same(w.SGconversions, conv, &where),
             qPrintable(QStringLiteral("after action %1 (%2): %3").arg(i).arg(described, where)));
    QVERIFY2(reports == failures,
             qPrintable(QStringLiteral("after action %1 (%2): %3 reports, %4 failures")
                            .arg(i)
                            .arg(described)
                            .arg(reports)
                            .arg(failures)));
  }
  qInfo("%d actions, %d calculations, %d failures reported", actions, calculations, failures);
  window_.reset();
  SetFailurePresenter({});
}

QTEST_MAIN(MonkeyTest)
#include "MonkeyTest.moc"
