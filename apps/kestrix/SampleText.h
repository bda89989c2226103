// The built-in bilingual sample the kestrix command shows when no file is given (UTF-8).
#pragma once

namespace kestrix {

inline constexpr const char* kSampleText =
    "مرحبا بكم في Kestrix، محرر النصوص الذي يجمع العربية و English في سطر واحد.\n"
    "Kestrix is an edit control for plain text that mixes Arabic and English: "
    "كل سطر يأخذ اتجاهه من أول حرف قوي فيه.\n"
    "الأسطر الطويلة تلتف عند المسافات لتناسب عرض النافذة، والنص الإنجليزي مثل "
    "word wrap داخل سطر عربي يبقى من اليسار إلى اليمين.\n"
    "\n"
    "السَّلامُ عَلَيْكُمْ وَرَحْمَةُ اللهِ وَبَرَكاتُهُ\n"
    "Line direction follows the first strong character; the caret's flag points the way "
    "you type.\n"
    "الإصدار 1.0 صدر في 2026 بسعر 15 دينارا.";

}  // namespace kestrix
