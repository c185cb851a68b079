#include "commands/browser_texts.h"

namespace pelvaro::commands {

std::string FilterPlaceholder() { return std::string(kFilterPlaceholderLead) + kFilterSyntax; }

std::vector<std::string> UnreadableTerms(const BrowserState& browser) {
  std::vector<std::string> terms;
  const std::string& text = browser.filterText();
  for (const TextSpan& span : browser.filter().unreadable) {
    if (span.begin >= span.end || span.end > text.size()) continue;
    terms.push_back(text.substr(span.begin, span.end - span.begin));
  }
  return terms;
}

std::string UnreadableNote(const BrowserState& browser) {
  const std::vector<std::string> terms = UnreadableTerms(browser);
  if (terms.empty()) return {};
  std::string note = "読み取れない条件:";
  for (const std::string& term : terms) note += " " + term;
  return note;
}

}  // namespace pelvaro::commands
