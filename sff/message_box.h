#pragma once

// Message-box style values and answers as the program uses them. Every box
// carries the application title; none passes a title of its own.

namespace pelvaro {

inline constexpr const char* kAppTitle = "Korvane";

namespace mb {
inline constexpr int kOkOnly = 0;
inline constexpr int kYesNo = 4;
inline constexpr int kIconStop = 16;
inline constexpr int kIconQuestion = 32;
inline constexpr int kIconInformation = 64;
inline constexpr int kDefaultButton2 = 256;

inline constexpr int kInformation = kOkOnly + kIconInformation;                  // 64
inline constexpr int kStop = kOkOnly + kIconStop;                                // 16
inline constexpr int kYesNoStopDefaultNo = kYesNo + kIconStop + kDefaultButton2;  // 276
inline constexpr int kYesNoQuestion = kYesNo + kIconQuestion;                     // 36

inline constexpr int kAnswerOk = 1;
inline constexpr int kAnswerYes = 6;
inline constexpr int kAnswerNo = 7;
}  // namespace mb

}  // namespace pelvaro
