#include "link/customer_page.h"

#include "common/html_text.h"

namespace calcora::link {

namespace {

// Added to the document's own style: room on a phone, readable forms, and buttons whose
// colours keep text contrast above 4.5:1.
constexpr const char* kPageStyle =
    "body{max-width:960px;margin:0 auto}"
    "th,td+td{white-space:nowrap}td:first-child{overflow-wrap:anywhere}"
    "@media (max-width:640px){body{padding:12px;font-size:14px}td,th{padding:6px 4px}}"
    "h2{font-size:1.15rem;margin:2rem 0 .5rem}"
    "form{display:grid;gap:.4rem;max-width:32rem}"
    "label{font-weight:600;margin-top:.4rem}"
    "input,textarea{font:inherit;padding:.45rem .55rem;border:1px solid #737373;border-radius:6px;color:#171717;"
    "background:#fff}"
    "textarea{min-height:6rem}"
    ".buttons{display:flex;gap:.6rem;flex-wrap:wrap;margin-top:.6rem}"
    "button{font:inherit;font-weight:600;padding:.55rem 1.1rem;border-radius:6px;border:1px solid #404040;"
    "background:#f5f5f5;color:#171717;cursor:pointer}"
    "button.approve{background:#166534;border-color:#166534;color:#fff}"
    "button.reject{background:#991b1b;border-color:#991b1b;color:#fff}"
    ".notice{padding:.6rem .8rem;border-radius:6px;background:#ecfdf5;color:#14532d}"
    ".notice.error{background:#fef2f2;color:#991b1b}"
    ".decision{font-weight:600}"
    ".comments{list-style:none;padding:0}"
    ".comments li{border-bottom:1px solid #e5e5e5;padding:.5rem 0}"
    ".meta{color:#525252;font-size:.9rem}";

std::string head(const std::string& title) {
  return "<!doctype html><html lang=\"ru\"><head><meta charset=\"utf-8\">"
         "<meta name=\"viewport\" content=\"width=device-width,initial-scale=1\">"
         "<meta name=\"referrer\" content=\"same-origin\"><title>" +
         title + "</title>\n<style>" + kProposalDocumentStyle + kPageStyle + "</style>\n</head><body>\n";
}

std::string hidden_key(const std::string& key) {
  return "<input type=\"hidden\" name=\"form_key\" value=\"" + escape_html(key) + "\">";
}

// Dates as the customer reads them: "11.12.2026" from "2026-12-11T…".
std::string day_of(const std::string& stamp) {
  if (stamp.size() < 10) return escape_html(stamp);
  return stamp.substr(8, 2) + "." + stamp.substr(5, 2) + "." + stamp.substr(0, 4);
}

std::string decision_section(const CustomerPageInput& in) {
  const std::string action = "/p/" + escape_html(in.publication.token) + "/decision";
  std::string out = "<section aria-labelledby=\"decision-heading\"><h2 id=\"decision-heading\">Ваше решение</h2>";
  if (const auto& d = in.publication.decision) {
    std::string what = d->status == "approved"   ? "Предложение согласовано"
                       : d->status == "rejected" ? "Предложение отклонено"
                                                 : "Решение: " + escape_html(d->status);
    out += "<p class=\"decision\">" + what + (d->name.empty() ? "" : " (" + escape_html(d->name) + ")") + ", " +
           day_of(d->decided_at) + ".</p>";
  } else {
    out += "<form method=\"post\" action=\"" + action + "\">" + hidden_key(in.form_key) +
           "<label for=\"decision-name\">Ваше имя</label>"
           "<input id=\"decision-name\" name=\"name\" required maxlength=\"100\" autocomplete=\"name\" value=\"" +
           escape_html(in.typed.decision_name) + "\">"
           "<div class=\"buttons\">"
           "<button type=\"submit\" class=\"approve\" name=\"decision\" value=\"approved\">Согласовать</button>"
           "<button type=\"submit\" class=\"reject\" name=\"decision\" value=\"rejected\">Отклонить</button>"
           "</div></form>";
  }
  return out + "</section>\n";
}

std::string comments_section(const CustomerPageInput& in) {
  const std::string action = "/p/" + escape_html(in.publication.token) + "/comment";
  std::string out = "<section id=\"comments\" aria-labelledby=\"comments-heading\"><h2 id=\"comments-heading\">Комментарии</h2>";
  if (!in.publication.comments.empty()) {
    out += "<ul class=\"comments\">";
    for (const auto& c : in.publication.comments) {
      out += "<li><div class=\"meta\">" + (c.name.empty() ? std::string("Гость") : escape_html(c.name)) +
             (c.contact.empty() ? "" : " (" + escape_html(c.contact) + ")") + ", " + day_of(c.created_at) +
             "</div><div>" + escape_html(c.body) + "</div></li>";
    }
    out += "</ul>";
  }
  out += "<form method=\"post\" action=\"" + action + "\">" + hidden_key(in.form_key) +
         "<label for=\"comment-name\">Ваше имя</label>"
         "<input id=\"comment-name\" name=\"name\" maxlength=\"100\" autocomplete=\"name\" value=\"" +
         escape_html(in.typed.comment_name) + "\">"
         "<label for=\"comment-contact\">Телефон или e-mail</label>"
         "<input id=\"comment-contact\" name=\"contact\" maxlength=\"200\" autocomplete=\"email\" value=\"" +
         escape_html(in.typed.contact) + "\">"
         "<label for=\"comment-body\">Комментарий</label>"
         "<textarea id=\"comment-body\" name=\"body\" required maxlength=\"2000\">" + escape_html(in.typed.body) +
         "</textarea>"
         "<div class=\"buttons\"><button type=\"submit\">Отправить</button></div></form>";
  return out + "</section>\n";
}

}  // namespace

std::string customer_page_html(const CustomerPageInput& in) {
  std::string title = escape_html(in.document.title);
  std::string out = head(title.empty() ? "КП" : title) + "<main>";
  if (!in.notice.text.empty()) {
    out += std::string("<p class=\"notice") + (in.notice.is_error ? " error\" role=\"alert\">" : "\" role=\"status\">") +
           escape_html(in.notice.text) + "</p>";
  }
  out += proposal_body_html(in.document) + "\n" + decision_section(in) + comments_section(in);
  return out + "</main></body></html>";
}

std::string message_page_html(const std::string& title, const std::string& text) {
  return head(escape_html(title)) + "<main><h1>" + escape_html(title) + "</h1><p>" + escape_html(text) +
         "</p></main></body></html>";
}

}  // namespace calcora::link
