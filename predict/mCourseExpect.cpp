#include "predict/mCourseExpect.h"

#include "platform/Numeric.h"
#include "platform/RuntimeError.h"
#include "predict/PredictReport.h"

#include <exception>
#include <limits>

namespace tidewake::mCourseExpect {

Table<std::int16_t> gintExpectCourse{};
Table<std::int16_t> gintExpectBoat{};
Table<QString> gstrTactics{};
Table<float> gsngInSisu{};
Table<std::int16_t> gintAbilityWeight{};
Table<float> gsngCourseValue{};
Table<float> gsngCourseScore{};
Table<std::int16_t> gintTokuiCourseType{-1, -1, -1, -1, -1, -1, -1};

namespace {

const QString kNige = QStringLiteral("　　逃げ");
const QString kJizai = QStringLiteral("　自在　");
const QString kMakuri = QStringLiteral("　　捲り");
const QString kMarkSashi = QStringLiteral("ﾏｰｸ差し ");
const QString kSashi = QStringLiteral("差し　　");
const QString kTenkaiMachi = QStringLiteral("展開待ち");
const QString kNoLabel = QStringLiteral("　　　　");

const char16_t* const kTypeNames[] = {u"自在",   u"イン", u"内", u"内中",   u"センタ", u"中",
                                      u"休明け", u"中外", u"外", u"アウト", u"新人"};

constexpr int kBoats = 6;

// Each routine reports its own failures: the description in a box titled with its name.
void Report(const char* routine, const std::exception& e) {
  mPredictReport::Report(QString::fromLatin1(routine) + QStringLiteral("Err"), e);
}

// A 16-bit sum that fails as an overflow rather than wrapping.
std::int16_t Integer(int v) {
  if (v < std::numeric_limits<std::int16_t>::min() || v > std::numeric_limits<std::int16_t>::max()) {
    throw RuntimeError(ErrNo::Overflow, QStringLiteral("オーバーフローしました: %1").arg(v));
  }
  return static_cast<std::int16_t>(v);
}

// A share of the racer's starts, in single precision.
float Ratio(std::int16_t entries, std::int16_t starts) {
  return static_cast<float>(entries) / static_cast<float>(starts);
}

// A single-precision value plus a constant, rounded to single before it is compared.
float Plus(float v, double constant) { return static_cast<float>(static_cast<double>(v) + constant); }

}  // namespace

std::int16_t TokuiCourseTypeGet(const cSensyuFile& sensyu, const QString& strSensyuNo) {
  std::int16_t type = 0;
  try {
    const std::int16_t t = sensyu.SyussoTimes(strSensyuNo);
    std::int16_t e[kBoats + 1] = {};
    for (std::int16_t c = 1; c <= kBoats; ++c) e[c] = sensyu.CourseSyussoTimes(strSensyuNo, c);
    if (t == 0) {
      // No starts: back from a break when an older class than the newest, else a newcomer.
      const std::int16_t ki = sensyu.YoseiKi(strSensyuNo);
      type = (ki < sensyu.LastYoseiKi() && ki != 0) ? 6 : 10;
      return type;
    }
    if (Ratio(Integer(e[1] + e[2]), t) >= 0.85f) {
      type = 1;
    } else if (Ratio(Integer(e[3] + e[4]), t) >= 0.55f && Ratio(Integer(e[2] + e[5]), t) >= 0.25f) {
      type = 4;
    } else if (Ratio(e[6], t) >= 0.7f) {
      type = 9;
    } else if (Ratio(Integer(e[1] + e[2] + e[3]), t) >= 0.8f) {
      type = 2;
    } else if (Ratio(Integer(e[2] + e[3] + e[4] + e[5]), t) >= 0.8f) {
      type = 5;
    } else if (Ratio(Integer(e[4] + e[5] + e[6]), t) >= 0.8f) {
      type = 8;
    } else if (Ratio(Integer(e[5] + e[6]), t) <= 0.16f) {
      type = 3;
    } else if (Ratio(Integer(e[1] + e[2]), t) <= 0.16f) {
      type = 7;
    } else {
      type = 0;
    }
  } catch (const std::exception& e) {
    Report("TokuiCourseTypeGet", e);
  }
  return type;
}

void TacticsGet(const cBangumiFile& bangumi, const cSensyuFile& sensyu, std::int16_t intRaceNo) {
  try {
    gstrTactics[1] = kNige;
    for (std::int16_t c = 2; c <= kBoats; ++c) {
      const QString a = bangumi.SensyuNo(intRaceNo, gintExpectBoat[c - 1]);
      const QString b = bangumi.SensyuNo(intRaceNo, gintExpectBoat[c]);
      const float stA = sensyu.CourseStartTiming(a, static_cast<std::int16_t>(c - 1));
      const float stB = sensyu.CourseStartTiming(b, c);
      const float hA = sensyu.CourseStartHatujyun(a, static_cast<std::int16_t>(c - 1));
      const float hB = sensyu.CourseStartHatujyun(b, c);
      const std::int16_t abA = sensyu.Ability(a);
      const std::int16_t abB = sensyu.Ability(b);
      const float m = bangumi.MotorFSyoritu(intRaceNo, gintExpectBoat[c]);
      const QString& inside = gstrTactics[c - 1];

      const float stB01 = Plus(stB, 0.01);
      const float hB03 = Plus(hB, 0.3);
      // The ability bounds are Integer arithmetic on values of at most a few hundred.
      const bool strong5 = m <= 49 && abB - 5 <= abA;
      const bool strong7 = m <= 49 && abB - 7 <= abA;
      QString label;
      if (stB01 < stA) {  // B starts clearly earlier
        if (hB03 > hA) {
          label = (inside == kJizai || inside == kNige || inside == kMakuri) ? kMarkSashi : kSashi;
        } else {
          label = strong5 ? kMakuri : kJizai;
        }
      } else if (stB <= stA) {  // about level
        if (hB03 <= hA) {
          label = strong5 ? kMakuri : kJizai;
        } else if (hB <= hA) {
          label = strong5 ? kSashi : kJizai;
        } else {
          label = kSashi;
        }
      } else {  // B starts later
        if (hB03 <= hA) {
          label = strong7 ? kSashi : kJizai;
        } else if (c != 2 && hB <= hA) {
          label = inside;
        } else {
          label = kTenkaiMachi;
        }
      }
      gstrTactics[c] = label;
    }
    // A racer who never entered from his course gets no label, course 1 included.
    for (std::int16_t c = 1; c <= kBoats; ++c) {
      if (sensyu.CourseSyussoTimes(bangumi.SensyuNo(intRaceNo, gintExpectBoat[c]), c) == 0) gstrTactics[c] = kNoLabel;
    }
  } catch (const std::exception& e) {
    Report("TacticsGet", e);
  }
}

QString EntryCourseExpect(const cBangumiFile& bangumi, const cSensyuFile& sensyu, std::int16_t intRaceNo, bool blnFix) {
  QString result;
  try {
    if (blnFix) {
      for (std::int16_t i = 1; i <= kBoats; ++i) {
        gintExpectCourse[i] = i;
        gintExpectBoat[i] = i;
        gintTokuiCourseType[i] = -1;  // not judged
      }
      result = QStringLiteral("123456");
    } else if (bangumi.KyoteijyoCode() == u"03") {
      result = EntryCourseExpect03(bangumi, sensyu, intRaceNo);
    } else {
      result = EntryCourseExpectStandard(bangumi, sensyu, intRaceNo);
    }
    // Tactics are read off the order just predicted; after a failed prediction that order is
    // not this race's, so the labels are cleared rather than computed from it.
    if (result.size() == kBoats) {
      TacticsGet(bangumi, sensyu, intRaceNo);
    } else {
      for (std::int16_t c = 1; c <= kBoats; ++c) gstrTactics[c] = kNoLabel;
    }
  } catch (const std::exception& e) {
    Report("EntryCourseExpect", e);
  }
  return result;
}

QString EntryCourseExpectStandard(const cBangumiFile& bangumi, const cSensyuFile& sensyu, std::int16_t intRaceNo) {
  QString result;
  try {
    bool inside = false;
    for (std::int16_t i = 1; i <= kBoats; ++i) {
      const QString no = bangumi.SensyuNo(intRaceNo, i);
      const std::int16_t type = TokuiCourseTypeGet(sensyu, no);
      gintTokuiCourseType[i] = type;
      gsngCourseValue[i] = static_cast<float>(type);
      gsngInSisu[i] = sensyu.InSisu(no);
      const std::int16_t ability = sensyu.Ability(no);
      gintAbilityWeight[i] = sensyu.Sex(no) == 1 ? ability : RoundToInteger(ability * 0.8);
      if (gsngCourseValue[i] > 0 && gsngCourseValue[i] < 4) inside = true;
    }
    // Nobody keen on the inside: the racers who mostly enter there are taken as inside racers.
    if (!inside) {
      for (std::int16_t i = 1; i <= kBoats; ++i) {
        if (gsngInSisu[i] >= 60) gsngCourseValue[i] = 2;
      }
    }
    // Boat 1 of type "内中" counts as "内".
    if (gsngCourseValue[1] == 3) gsngCourseValue[1] = 2;
    for (std::int16_t i = 1; i <= kBoats; ++i) {
      if (gsngCourseValue[i] == 0) gsngCourseValue[i] = static_cast<float>(i + (gsngInSisu[i] >= 70 ? 1.8 : 2.2));
    }
    for (std::int16_t i = 1; i <= kBoats; ++i) {
      float score = gsngCourseValue[i] - gsngInSisu[i] / 100.0f;
      const QString cls = bangumi.SensyuClass(intRaceNo, i);
      if (cls == u"A1") {
        score = Plus(score, -0.2);
      } else if (cls == u"A2") {
        score = Plus(score, -0.1);
      }
      if (i <= 4) {
        score += static_cast<float>(i) / 10.0f;
      } else {
        score = Plus(score, i == 5 ? 0.35 : 0.3);
      }
      gsngCourseScore[i] = score;
    }
    result = ChooseCourse();
  } catch (const std::exception& e) {
    Report("EntryCourseExpectStandard", e);
  }
  return result;
}

QString EntryCourseExpect03(const cBangumiFile& bangumi, const cSensyuFile& sensyu, std::int16_t intRaceNo) {
  QString result;
  try {
    for (std::int16_t i = 1; i <= kBoats; ++i) {
      const std::int16_t t = TokuiCourseTypeGet(sensyu, bangumi.SensyuNo(intRaceNo, i));
      gintTokuiCourseType[i] = t;
      gsngCourseValue[i] = (t == 1 || t == 9 || t == 10) ? static_cast<float>(t) : 4.0f;
      gsngCourseScore[i] = gsngCourseValue[i];
    }
    result = ChooseCourse();
  } catch (const std::exception& e) {
    Report("EntryCourseExpect03", e);
  }
  return result;
}

QString ChooseCourse() {
  QString result;
  try {
    // Clashes: of two boats that want the same course, the one with the lower score keeps it,
    // unless it is clearly the weaker racer; the other moves one course out and may clash again.
    for (int a = 1; a <= 115; ++a) {
      for (int b = 1; b <= kBoats - 1; ++b) {
        if (RoundToInteger(gsngCourseValue[b]) != a) continue;
        for (int j = b + 1; j <= kBoats; ++j) {
          if (RoundToInteger(gsngCourseValue[j]) != a) continue;
          if (gsngCourseScore[b] > gsngCourseScore[j] &&
              gintAbilityWeight[b] < RoundToInteger(gintAbilityWeight[j] * 0.85)) {
            gsngCourseValue[b] += 1.0f;
            break;
          }
          gsngCourseValue[j] += 1.0f;
        }
      }
    }
    // Equal values put the lower boat number inside.
    for (int i = 1; i <= kBoats; ++i) {
      gsngCourseValue[i] += static_cast<float>(i) / 1000.0f;
      gsngCourseScore[i] = gsngCourseValue[i];
    }
    for (int c = 1; c <= kBoats - 1; ++c) {
      for (int j = 1; j <= kBoats - c; ++j) {
        if (gsngCourseValue[j] > gsngCourseValue[j + 1]) std::swap(gsngCourseValue[j], gsngCourseValue[j + 1]);
      }
    }
    for (std::int16_t r = 1; r <= kBoats; ++r) {
      for (std::int16_t j = 1; j <= kBoats; ++j) {
        if (gsngCourseScore[j] == gsngCourseValue[r]) {
          gintExpectCourse[j] = r;
          gintExpectBoat[r] = j;
          result += QString::number(j);
          break;
        }
      }
    }
  } catch (const std::exception& e) {
    Report("ChooseCourse", e);
  }
  return result;
}

QString CourseTypeName(std::int16_t intCourseType) {
  if (intCourseType < 0 || intCourseType > 10) return QString();
  return QString::fromUtf16(kTypeNames[intCourseType]);
}

QString BoatCourseTypeName(std::int16_t intWakuNo) {
  CheckIndex(QStringLiteral("艇番"), intWakuNo, 1, kBoats);
  return CourseTypeName(gintTokuiCourseType[intWakuNo]);
}

QString BoatTactics(std::int16_t intWakuNo) {
  CheckIndex(QStringLiteral("艇番"), intWakuNo, 1, kBoats);
  const std::int16_t course = gintExpectCourse[intWakuNo];
  return course >= 1 && course <= kBoats ? gstrTactics[course] : QString();
}

QStringList TacticsLabels() { return {kNige, kJizai, kMakuri, kMarkSashi, kSashi, kTenkaiMachi, kNoLabel}; }

}  // namespace tidewake::mCourseExpect
