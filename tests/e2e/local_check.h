// Checkmk's local-check lines as its agent documentation describes them:
//
//   STATE "SERVICE NAME" METRICS TEXT
//
// STATE is 0, 1, 2, 3 or P; the service name is in double quotes (or one
// word without them); METRICS is "-" or metrics joined by "|", each
// name=value;warn;crit;min;max with the fields after the value optional and
// may be empty, warn and crit a level or "lower:upper"; TEXT is the rest of
// the line. Every line ends in a line end, and a service stands once.
#pragma once

#include <cctype>
#include <set>
#include <string>
#include <vector>

namespace local_check {

inline bool IsNumber(const std::string& text) {
  size_t i = 0;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) ++i;
  bool digits = false, point = false;
  for (; i < text.size(); ++i) {
    if (std::isdigit(static_cast<unsigned char>(text[i]))) {
      digits = true;
    } else if (text[i] == '.' && !point) {
      point = true;
    } else {
      return false;
    }
  }
  return digits;
}

inline std::vector<std::string> Split(const std::string& text, char at) {
  std::vector<std::string> parts;
  for (size_t start = 0;;) {
    const size_t end = text.find(at, start);
    parts.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
    if (end == std::string::npos) return parts;
    start = end + 1;
  }
}

// A warning or critical level: empty, a number, or "lower:upper" with
// either side empty.
inline bool IsLevel(const std::string& text) {
  for (const std::string& side : Split(text, ':')) {
    if (!side.empty() && !IsNumber(side)) return false;
  }
  return Split(text, ':').size() <= 2;
}

inline std::string MetricProblem(const std::string& metric) {
  const size_t equals = metric.find('=');
  if (equals == std::string::npos || equals == 0) return "a metric without its name: " + metric;
  for (size_t i = 0; i < equals; ++i) {
    const char c = metric[i];
    if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_')
      return "a metric name with '" + std::string(1, c) + "'";
  }
  const std::vector<std::string> fields = Split(metric.substr(equals + 1), ';');
  if (fields.size() > 5) return "a metric with more than five fields: " + metric;
  if (!IsNumber(fields[0])) return "a metric whose value is no number: " + metric;
  for (size_t i = 1; i < fields.size(); ++i) {
    const bool good = i <= 2 ? IsLevel(fields[i]) : (fields[i].empty() || IsNumber(fields[i]));
    if (!good) return "a metric field that is no number: " + metric;
  }
  return "";
}

inline std::string LineProblem(const std::string& line, std::set<std::string>& services) {
  if (line.size() < 2 || std::string("0123P").find(line[0]) == std::string::npos || line[1] != ' ')
    return "no state and blank at the start";
  std::string service;
  size_t at = 2;
  if (at < line.size() && line[at] == '"') {
    const size_t close = line.find('"', at + 1);
    if (close == std::string::npos) return "a service name without its closing quote";
    service = line.substr(at + 1, close - at - 1);
    at = close + 1;
  } else {
    const size_t blank = line.find(' ', at);
    service = line.substr(at, blank == std::string::npos ? std::string::npos : blank - at);
    at = blank == std::string::npos ? line.size() : blank;
  }
  if (service.empty()) return "an empty service name";
  if (!services.insert(service).second) return "the service \"" + service + "\" twice";
  if (at >= line.size() || line[at] != ' ') return "no blank after the service name";
  const size_t blank = line.find(' ', at + 1);
  if (blank == std::string::npos || blank + 1 >= line.size()) return "no text after the metrics";
  const std::string metrics = line.substr(at + 1, blank - at - 1);
  if (metrics != "-") {
    for (const std::string& metric : Split(metrics, '|')) {
      const std::string problem = MetricProblem(metric);
      if (!problem.empty()) return problem;
    }
  }
  for (char c : line) {
    if (static_cast<unsigned char>(c) < 0x20) return "a control character";
  }
  return "";
}

// What is wrong with the output as local-check lines; empty when nothing is.
inline std::string Problems(const std::string& output) {
  if (output.empty()) return "";
  if (output.back() != '\n') return "the last line has no line end\n";
  std::set<std::string> services;
  std::string problems;
  size_t number = 0;
  for (size_t start = 0; start < output.size();) {
    const size_t end = output.find('\n', start);
    const std::string line = output.substr(start, end - start);
    start = end + 1;
    ++number;
    const std::string problem = LineProblem(line, services);
    if (!problem.empty()) problems += "line " + std::to_string(number) + ": " + problem + ": " + line + "\n";
  }
  return problems;
}

}  // namespace local_check
