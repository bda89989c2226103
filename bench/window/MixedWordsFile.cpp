#include "MixedWordsFile.h"

#include "../SplitMix.h"

#include <iterator>
#include <string_view>

namespace kestrix {

namespace bench {
namespace {

constexpr std::string_view kArabic[] = {
    "في", "من", "على", "إلى", "أن", "هذا", "التي", "الذي", "كان", "عن", "مع", "قد", "بين", "كل",
    "بعد", "أو", "ذلك", "عند", "حتى", "لكن", "الكتاب", "المدينة", "البيت", "الماء", "الطريق",
    "السوق", "المدرسة", "الجامعة", "العمل", "الوقت", "اليوم", "الليل", "النهار", "الشمس", "القمر",
    "البحر", "الجبل", "الشجرة", "الباب", "النافذة", "الطعام", "الخبز", "القهوة", "الشاي", "الصديق",
    "الأستاذ", "الطالب", "الرسالة", "الكلمة", "اللغة", "العربية", "الحرف", "السطر", "الصفحة",
    "كتب", "قرأ", "ذهب", "جاء", "قال", "رأى", "فتح", "أغلق", "سمع", "عرف", "وجد", "أخذ", "عاد",
    "جميل", "كبير", "صغير", "جديد", "قديم", "طويل", "قصير", "سريع", "بطيء", "واضح", "صعب", "سهل",
    "أحمد", "محمد", "فاطمة", "مريم", "علي", "القاهرة", "بغداد", "دمشق", "بيروت", "تونس", "الرباط",
    "شكرا", "مرحبا", "نعم", "لا", "ربما", "دائما"};

constexpr std::string_view kEnglish[] = {
    "the", "of", "and", "to", "in", "is", "that", "it", "for", "was", "on", "with", "as", "by",
    "at", "from", "this", "but", "not", "or", "book", "city", "house", "water", "road", "market",
    "school", "university", "work", "time", "day", "night", "morning", "sun", "moon", "sea",
    "mountain", "tree", "door", "window", "bread", "coffee", "tea", "friend", "teacher", "student",
    "letter", "word", "language", "English", "Arabic", "line", "page", "editor", "caret", "text",
    "wrote", "read", "went", "came", "said", "saw", "opened", "closed", "heard", "knew", "found",
    "took", "returned", "beautiful", "large", "small", "new", "old", "long", "short", "fast",
    "slow", "clear", "hard", "easy", "London", "Cairo", "Paris", "Beirut", "Tunis", "Mary", "John",
    "thanks", "hello", "yes", "no", "perhaps", "always"};

using Random = SplitMix;

}  // namespace

std::string MixedWordsFile(size_t targetBytes, uint64_t seed) {
  Random random(seed);
  std::string out;
  out.reserve(targetBytes + 2048);
  while (out.size() < targetBytes) {
    // Runs of one script, as mixed prose has them: a sentence in one language quoting the other.
    const size_t words = 20 + random.Below(101);
    bool arabic = random.Below(3) != 0;
    for (size_t i = 0; i < words; ++i) {
      if (random.Below(6) == 0) arabic = !arabic;
      if (i > 0) out += random.Below(12) == 0 ? (arabic ? "، " : ", ") : " ";
      out += arabic ? kArabic[random.Below(std::size(kArabic))] : kEnglish[random.Below(std::size(kEnglish))];
    }
    out += ".\n";
  }
  return out;
}

}  // namespace bench

}  // namespace kestrix
