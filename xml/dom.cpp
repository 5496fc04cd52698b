#include "xml/dom.h"

#include <fmt/format.h>
#include <libxml/parser.h>
#include <libxml/xmlerror.h>

#include <cstring>
#include <string>
#include <vector>

namespace gridora {
namespace {

const xmlChar* X(const std::string& text) { return reinterpret_cast<const xmlChar*>(text.c_str()); }

[[noreturn]] void Raise(DomStatus status, const char* operation, const std::string& detail) {
  throw DomError(status, operation, detail);
}

xmlDoc* DocumentOf(DomNode node, const char* operation) {
  if (!node) Raise(DomStatus::NullPointer, operation, "no parent node");
  xmlDoc* doc = node->type == XML_DOCUMENT_NODE ? reinterpret_cast<xmlDoc*>(node) : node->doc;
  if (!doc) Raise(DomStatus::NullPointer, operation, "the node belongs to no document");
  return doc;
}

template <typename T>
T* Allocated(T* node, const char* operation) {
  if (!node) Raise(DomStatus::OutOfMemory, operation, "not enough memory for the XML tree");
  return node;
}

// The length of the valid UTF-8 sequence at text[i] that is a character XML allows,
// or 0.
std::size_t XmlCharacterLength(std::string_view text, std::size_t i) {
  const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
  const unsigned char lead = byte(i);
  if (lead < 0x80) return (lead >= 0x20 || lead == '\t' || lead == '\n' || lead == '\r') ? 1 : 0;
  std::size_t length = 0;
  char32_t code = 0;
  if ((lead & 0xE0) == 0xC0)
    length = 2, code = lead & 0x1F;
  else if ((lead & 0xF0) == 0xE0)
    length = 3, code = lead & 0x0F;
  else if ((lead & 0xF8) == 0xF0)
    length = 4, code = lead & 0x07;
  else
    return 0;
  if (i + length > text.size()) return 0;
  for (std::size_t k = 1; k < length; ++k) {
    if ((byte(i + k) & 0xC0) != 0x80) return 0;
    code = (code << 6) | (byte(i + k) & 0x3F);
  }
  const char32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
  if (code < smallest[length]) return 0;           // overlong form
  if (code >= 0xD800 && code <= 0xDFFF) return 0;  // surrogate
  if (code == 0xFFFE || code == 0xFFFF || code > 0x10FFFF) return 0;
  return length;
}

bool IsXmlText(std::string_view text) {
  for (std::size_t i = 0; i < text.size();) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c >= 0x20 && c < 0x80) {
      ++i;
      continue;
    }
    const std::size_t length = XmlCharacterLength(text, i);
    if (length == 0) return false;
    i += length;
  }
  return true;
}

// Texts reach the file whole, except what XML cannot hold at all (bytes that are not
// UTF-8, control characters): those become U+FFFD instead of a file that no parser
// accepts. Profile texts are the only way such bytes could get here.
std::string XmlText(std::string_view text) {
  if (IsXmlText(text)) return std::string(text);
  std::string clean;
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t length = XmlCharacterLength(text, i);
    if (length == 0) {
      clean += "\xEF\xBF\xBD";
      ++i;
    } else {
      clean.append(text.substr(i, length));
      i += length;
    }
  }
  return clean;
}

std::string CheckedName(std::string_view name, const char* operation) {
  std::string copy(name);
  if (copy.empty() || copy.find('\0') != std::string::npos || xmlValidateName(X(copy), 0) != 0)
    Raise(DomStatus::InvalidName, operation, "\"" + XmlText(copy) + "\" is not a valid XML name");
  return copy;
}

DomDocument& OwnerOf(xmlDoc* doc, const char* operation) {
  auto* owner = static_cast<DomDocument*>(doc->_private);
  if (!owner) Raise(DomStatus::NullPointer, operation, "the node belongs to no DomDocument");
  return *owner;
}

DomNode NewElement(xmlDoc* doc, std::string_view name, const char* operation) {
  const xmlChar* interned = OwnerOf(doc, operation).InternName(name, operation);
  return Allocated(xmlNewDocNodeEatName(doc, nullptr, const_cast<xmlChar*>(interned), nullptr), operation);
}

DomNode NewText(xmlDoc* doc, std::string_view text) {
  if (IsXmlText(text))
    return Allocated(
        xmlNewDocTextLen(doc, reinterpret_cast<const xmlChar*>(text.data()), static_cast<int>(text.size())),
        "createTextNode");
  const std::string clean = XmlText(text);
  return Allocated(xmlNewDocTextLen(doc, X(clean), static_cast<int>(clean.size())), "createTextNode");
}

// Links the child, freeing it when the link fails so that nothing leaks.
DomNode Link(DomNode parent, DomNode child) {
  if (!parent || !child) {
    if (child && !child->parent) xmlFreeNode(child);
    Raise(DomStatus::NullPointer, "appendChild", "no node to append to");
  }
  DomNode linked = xmlAddChild(parent, child);
  if (!linked) {
    xmlFreeNode(child);
    Raise(DomStatus::OutOfMemory, "appendChild", "the node could not be appended");
  }
  return linked;
}

// The line feed after a leaf shares the dictionary's text instead of holding a copy
// (libxml2 never frees a dictionary's text with a node).
void AppendLineFeed(DomNode parent) {
  DomNode feed = Allocated(xmlNewDocTextLen(parent->doc, nullptr, 0), "createTextNode");
  feed->content = const_cast<xmlChar*>(OwnerOf(parent->doc, "createTextNode").LineFeed());
  Link(parent, feed);
}

void CheckCounts(std::size_t names, std::size_t values, const char* operation) {
  if (names != values)
    Raise(DomStatus::InvalidArgument, operation, fmt::format("{} attribute names but {} values", names, values));
}

void AttachAttributes(DomNode element, std::span<const std::string_view> names,
                      std::span<const std::string_view> values) {
  CheckCounts(names.size(), values.size(), "setAttributeNode");
  DomDocument& owner = OwnerOf(element->doc, "createAttribute");
  for (std::size_t i = 0; i < names.size(); ++i) {
    const xmlChar* name = owner.InternName(names[i], "createAttribute");
    // An attribute of the same name is replaced, as setAttributeNode does.
    if (xmlAttr* existing = xmlHasNsProp(element, name, nullptr)) xmlRemoveProp(existing);
    const std::string value = XmlText(values[i]);
    Allocated(xmlNewNsPropEatName(element, nullptr, const_cast<xmlChar*>(name), X(value)), "setAttributeNode");
  }
}

// The "%d" texts of a few integers, as views for the text helpers.
template <typename Body>
void WithIntTexts(std::span<const int> values, Body body) {
  constexpr std::size_t kOnStack = 8;
  if (values.size() > kOnStack) {
    std::vector<std::string> texts;
    for (int value : values) texts.push_back(fmt::format_int(value).str());
    const std::vector<std::string_view> views(texts.begin(), texts.end());
    body(std::span<const std::string_view>(views));
    return;
  }
  std::string texts[kOnStack];
  std::string_view views[kOnStack];
  for (std::size_t i = 0; i < values.size(); ++i) {
    texts[i] = fmt::format_int(values[i]).str();
    views[i] = texts[i];
  }
  body(std::span<const std::string_view>(views, values.size()));
}

}  // namespace

const char* DomStatusName(DomStatus status) {
  switch (status) {
    case DomStatus::NullPointer: return "null pointer";
    case DomStatus::OutOfMemory: return "out of memory";
    case DomStatus::InvalidName: return "invalid name";
    case DomStatus::InvalidArgument: return "invalid argument";
    case DomStatus::LoadFailed: return "load failed";
    case DomStatus::NoRootElement: return "no root element";
    case DomStatus::UnsupportedEncoding: return "unsupported encoding";
    case DomStatus::SaveFailed: return "save failed";
  }
  return "unknown";
}

DomError::DomError(DomStatus status, std::string operation, const std::string& detail)
    : std::runtime_error(detail), status_(status), operation_(std::move(operation)) {}

DomDocument::DomDocument() {
  doc_ = xmlNewDoc(reinterpret_cast<const xmlChar*>("1.0"));
  if (!doc_) Raise(DomStatus::OutOfMemory, "CreateDomDocument", "not enough memory for the XML tree");
  AdoptDictionary();
}

// Element and attribute names are shared through the document's dictionary instead of
// being copied into every node: the node part of a large grid repeats a dozen names.
void DomDocument::AdoptDictionary() {
  if (!doc_->dict) doc_->dict = xmlDictCreate();
  if (!doc_->dict) Raise(DomStatus::OutOfMemory, "CreateDomDocument", "not enough memory for the XML tree");
  doc_->_private = this;
  names_.clear();
  lineFeed_ = xmlDictLookup(doc_->dict, reinterpret_cast<const xmlChar*>("\n"), 1);
  if (!lineFeed_) Raise(DomStatus::OutOfMemory, "CreateDomDocument", "not enough memory for the XML tree");
}

const xmlChar* DomDocument::InternName(std::string_view name, const char* operation) {
  auto found = names_.find(name.data());
  if (found != names_.end()) {
    const char* interned = reinterpret_cast<const char*>(found->second);
    if (std::strlen(interned) == name.size() && std::memcmp(interned, name.data(), name.size()) == 0)
      return found->second;
  }
  const std::string checked = CheckedName(name, operation);
  const xmlChar* interned = xmlDictLookup(doc_->dict, X(checked), static_cast<int>(checked.size()));
  if (!interned) Raise(DomStatus::OutOfMemory, operation, "not enough memory for the XML tree");
  names_[name.data()] = interned;
  return interned;
}

DomDocument::~DomDocument() {
  if (doc_) xmlFreeDoc(doc_);
}

DomNode DomDocument::CreateElement(std::string_view name) const { return NewElement(doc_, name, "createElement"); }

DomNode DomDocument::CreateTextNode(std::string_view text) const { return NewText(doc_, text); }

DomNode DomDocument::CreateComment(std::string_view text) const {
  std::string clean = XmlText(text);
  // "--" cannot stand inside a comment.
  for (std::size_t at = clean.find("--"); at != std::string::npos; at = clean.find("--", at)) clean.insert(at + 1, " ");
  if (!clean.empty() && clean.back() == '-') clean += ' ';
  return Allocated(xmlNewDocComment(doc_, X(clean)), "createComment");
}

DomNode DomDocument::CreateProcessingInstruction(std::string_view target, std::string_view data) {
  const std::string name = CheckedName(target, "createProcessingInstruction");
  const std::string content = XmlText(data);
  if (name == "xml") {
    // Pseudo-attribute encoding='...' (either quote).
    const std::size_t at = content.find("encoding");
    if (at != std::string::npos) {
      const std::size_t open = content.find_first_of("'\"", at);
      if (open != std::string::npos) {
        const std::size_t close = content.find(content[open], open + 1);
        if (close != std::string::npos) declaredEncoding_ = content.substr(open + 1, close - open - 1);
      }
    }
    if (!declaredEncoding_.empty()) {
      if (doc_->encoding) xmlFree(const_cast<xmlChar*>(doc_->encoding));
      doc_->encoding = xmlStrdup(X(declaredEncoding_));
    }
  }
  return Allocated(xmlNewDocPI(doc_, X(name), X(content)), "createProcessingInstruction");
}

void DomDocument::Load(const std::filesystem::path& path) {
  xmlParserCtxt* context = xmlNewParserCtxt();
  if (!context) Raise(DomStatus::OutOfMemory, "load", "not enough memory to read " + path.string());
  xmlDoc* loaded =
      xmlCtxtReadFile(context, path.c_str(), nullptr, XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING);
  std::string reason;
  if (!loaded) {
    const xmlError* error = xmlCtxtGetLastError(context);
    if (error && error->message) {
      reason = error->message;
      while (!reason.empty() && (reason.back() == '\n' || reason.back() == ' ')) reason.pop_back();
      if (error->line > 0) reason = fmt::format("line {}: {}", error->line, reason);
    } else {
      reason = "the file could not be read";
    }
  }
  xmlFreeParserCtxt(context);
  if (!loaded) Raise(DomStatus::LoadFailed, "load", "cannot load " + path.string() + ": " + reason);
  xmlFreeDoc(doc_);
  doc_ = loaded;
  AdoptDictionary();
  declaredEncoding_.clear();
  producers_.clear();
}

DomNode DomDocument::DocumentElement() const { return xmlDocGetRootElement(doc_); }

void DomDocument::AppendDuringSave(DomNode container, DomChildProducer producer) {
  if (!container || container->doc != doc_)
    Raise(DomStatus::NullPointer, "AppendDuringSave", "the container is not part of this document");
  producers_[container] = std::move(producer);
}

std::string DomDocument::Encoding() const {
  if (!declaredEncoding_.empty()) return declaredEncoding_;
  if (doc_->encoding) return reinterpret_cast<const char*>(doc_->encoding);
  return "UTF-8";
}

std::unique_ptr<DomDocument> CreateDomDocument() {
  xmlInitParser();
  return std::make_unique<DomDocument>();
}

DomNode AppendChild(DomNode parent, DomNode child) { return Link(parent, child); }

DomNode AppendContainer(DomNode parent, std::string_view name) {
  return Link(parent, NewElement(DocumentOf(parent, "createElement"), name, "createElement"));
}

void AppendDuringSave(DomNode container, DomChildProducer producer) {
  OwnerOf(DocumentOf(container, "AppendDuringSave"), "AppendDuringSave")
      .AppendDuringSave(container, std::move(producer));
}

void AppendTextElement(DomNode parent, std::string_view tag, std::string_view text) {
  xmlDoc* doc = DocumentOf(parent, "createElement");
  DomNode element = NewElement(doc, tag, "createElement");
  Link(element, NewText(doc, text));
  Link(parent, element);
  AppendLineFeed(parent);
}

void AppendIntElement(DomNode parent, std::string_view tag, int value) {
  AppendTextElement(parent, tag, fmt::format_int(value).str());
}

void AppendFloatElement(DomNode parent, std::string_view tag, float value) {
  AppendTextElement(parent, tag, FormatDomFloat(value));
}

void AppendTextElementWithAttributes(DomNode parent, std::string_view tag, std::string_view text,
                                     std::span<const std::string_view> names,
                                     std::span<const std::string_view> values) {
  if (text.empty()) return;
  CheckCounts(names.size(), values.size(), "setAttributeNode");
  xmlDoc* doc = DocumentOf(parent, "createElement");
  DomNode element = NewElement(doc, tag, "createElement");
  try {
    Link(element, NewText(doc, text));
    AttachAttributes(element, names, values);
  } catch (...) {
    xmlFreeNode(element);
    throw;
  }
  Link(parent, element);
  AppendLineFeed(parent);
}

void AppendIntElementWithIntAttributes(DomNode parent, std::string_view tag, int value,
                                       std::span<const std::string_view> names, std::span<const int> values) {
  WithIntTexts(values, [&](std::span<const std::string_view> texts) {
    AppendTextElementWithAttributes(parent, tag, fmt::format_int(value).str(), names, texts);
  });
}

void SetAttributes(DomNode element, std::span<const std::string_view> names, std::span<const std::string_view> values) {
  if (!element) Raise(DomStatus::NullPointer, "setAttributeNode", "no element to set attributes on");
  AttachAttributes(element, names, values);
}

void SetIntAttributes(DomNode element, std::span<const std::string_view> names, std::span<const int> values) {
  WithIntTexts(values, [&](std::span<const std::string_view> texts) { SetAttributes(element, names, texts); });
}

std::string FormatDomFloat(float value) { return fmt::format("{:.6f}", static_cast<double>(value)); }

}  // namespace gridora
