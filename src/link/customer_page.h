// The pages a customer sees at the proposal's address: the proposal itself with the decision
// and comment forms, and the short pages for a withdrawn or unknown link. Plain forms, no
// script: they work in any browser, and nothing a snapshot holds can run.
#pragma once

#include <string>

#include "link/link_store.h"
#include "proposal/proposal_document.h"

namespace calcora::link {

inline constexpr const char* kWithdrawnTitle = "Предложение отозвано";
inline constexpr const char* kUnknownLinkTitle = "Ссылка не найдена";

struct PageNotice {
  std::string text;
  bool is_error = false;
};

struct CustomerPageInput {
  const ProposalDocument& document;
  const Publication& publication;
  std::string form_key;  // the value the forms carry back, matched against the cookie
  PageNotice notice;     // after a form was sent: what became of it
  // What the customer typed into a form that was refused, shown again so nothing is lost.
  struct Typed {
    std::string decision_name, comment_name, contact, body;
  } typed;
};

std::string customer_page_html(const CustomerPageInput& input);

// A page with only a heading and a line of explanation (withdrawn, unknown, refused).
std::string message_page_html(const std::string& title, const std::string& text);

}  // namespace calcora::link
