#include "ResultPage.h"

namespace TrackingService {
namespace {

constexpr std::string_view kStyle =
    "body{font-family:sans-serif;margin:2em;color:#222}"
    "h1{font-size:1.3em}"
    "pre{font-family:inherit;line-height:1.8;border-left:3px solid #3a7bd5;padding-left:1em}"
    ".none{color:#b00}";

std::string document(std::string_view title, std::string_view body) {
  std::string page = "<!DOCTYPE html>\n<html lang=\"zh-CN\">\n<head>\n<meta charset=\"utf-8\">\n";
  page += "<title>" + escapeHtml(title) + "</title>\n<style>" + std::string(kStyle) +
          "</style>\n</head>\n<body>\n";
  page += body;
  page += "</body>\n</html>\n";
  return page;
}

std::string waybillHeading(std::string_view code, std::string_view number) {
  return "<h1>运单 " + escapeHtml(number) + "</h1>\n<p>快递公司代码：" + escapeHtml(code) +
         "</p>\n";
}

}  // namespace

std::string escapeHtml(std::string_view text) {
  std::string escaped;
  escaped.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '&':
        escaped += "&amp;";
        break;
      case '<':
        escaped += "&lt;";
        break;
      case '>':
        escaped += "&gt;";
        break;
      case '"':
        escaped += "&quot;";
        break;
      case '\'':
        escaped += "&#39;";
        break;
      default:
        escaped += c;
    }
  }
  return escaped;
}

std::string formatEventLine(const TrackingEvent& event) {
  return event.time + "  " + event.place + "  " + event.status;
}

std::string renderShipmentPage(std::string_view code, std::string_view number,
                               const std::vector<TrackingEvent>& events) {
  std::string lines;
  for (const auto& event : events) {
    if (!lines.empty()) lines += '\n';
    lines += escapeHtml(formatEventLine(event));
  }
  return document("物流信息 " + std::string(number), waybillHeading(code, number) + "<pre id=\"" +
                                                         std::string(kResultElementId) + "\">" +
                                                         lines + "</pre>\n");
}

std::string renderNoRecordPage(std::string_view code, std::string_view number) {
  return document("物流信息 " + std::string(number),
                  waybillHeading(code, number) +
                      "<p class=\"none\">没有查到这个单号的物流记录，请核对快递公司和单号。</p>\n");
}

std::string renderErrorPage(int status, std::string_view reason) {
  const std::string heading = std::to_string(status) + " " + std::string(reason);
  return document(heading, "<h1>" + escapeHtml(heading) + "</h1>\n");
}

}  // namespace TrackingService
