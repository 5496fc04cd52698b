// Saving a DomDocument. The tree is written node by node through libxml2's serializer
// into a temporary file, so the children a container produces during the save can be
// written and released batch by batch. Line ends are CR LF like every text file of the
// program (an XML parser reads them back as the line feeds of the tree).
#include <fmt/format.h>
#include <libxml/encoding.h>
#include <libxml/globals.h>
#include <libxml/xmlIO.h>
#include <libxml/xmlerror.h>

#include <algorithm>
#include <cctype>
#include <memory>
#include <set>
#include <string>

#include "platform/replacing_file.h"
#include "xml/dom.h"

namespace gridora {
namespace {

bool SameEncoding(const std::string& a, const char* b) {
  const std::string other(b);
  return std::equal(a.begin(), a.end(), other.begin(), other.end(),
                    [](char x, char y) { return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y)); });
}

bool IsUtf8(const std::string& encoding) { return SameEncoding(encoding, "UTF-8") || SameEncoding(encoding, "UTF8"); }

// Encodings in which a line feed is not the single byte 0x0A.
bool IsWideEncoding(const std::string& encoding) {
  std::string upper(encoding);
  std::transform(upper.begin(), upper.end(), upper.begin(), [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return upper.rfind("UTF-16", 0) == 0 || upper.rfind("UTF-32", 0) == 0 || upper.rfind("UCS", 0) == 0 ||
         upper.rfind("UTF16", 0) == 0 || upper.rfind("UTF32", 0) == 0;
}

std::string QualifiedName(const xmlNode* node) {
  std::string name;
  if (node->ns && node->ns->prefix) name = std::string(reinterpret_cast<const char*>(node->ns->prefix)) + ":";
  return name + reinterpret_cast<const char*>(node->name);
}

std::string EscapedAttribute(const std::string& value) {
  std::string escaped;
  escaped.reserve(value.size());
  for (char c : value) {
    switch (c) {
      case '&': escaped += "&amp;"; break;
      case '<': escaped += "&lt;"; break;
      case '>': escaped += "&gt;"; break;
      case '"': escaped += "&quot;"; break;
      case '\t': escaped += "&#9;"; break;
      case '\n': escaped += "&#10;"; break;
      case '\r': escaped += "&#13;"; break;
      default: escaped += c;
    }
  }
  return escaped;
}

// libxml2 reports characters the target encoding lacks (written as character
// references) through its global error handler; the save is not affected, so keep
// them off the console while it runs.
class QuietErrors {
 public:
  QuietErrors() : handler_(xmlStructuredError), context_(xmlStructuredErrorContext) {
    xmlSetStructuredErrorFunc(nullptr, [](void*, xmlErrorPtr) {});
  }
  ~QuietErrors() { xmlSetStructuredErrorFunc(context_, handler_); }

 private:
  xmlStructuredErrorFunc handler_;
  void* context_;
};

struct FreeNode {
  void operator()(xmlNode* node) const { xmlFreeNode(node); }
};

}  // namespace

class DomDocument::Writer {
 public:
  Writer(DomDocument& document, ReplacingFile& file) : document_(document), file_(file) {}

  ~Writer() {
    if (out_) xmlOutputBufferClose(out_);
  }

  void Run() {
    const std::string encoding = document_.Encoding();
    encoding_ = IsUtf8(encoding) ? "UTF-8" : encoding;
    crlf_ = !IsWideEncoding(encoding_);
    xmlCharEncodingHandler* encoder = nullptr;
    if (encoding_ != "UTF-8") {
      encoder = xmlFindCharEncodingHandler(encoding_.c_str());
      if (!encoder)
        throw DomError(DomStatus::UnsupportedEncoding, "save", "the encoding " + encoding_ + " cannot be written");
    }
    out_ = xmlOutputBufferCreateIO(&Writer::WriteBytes, nullptr, this, encoder);
    if (!out_) {
      if (encoder) xmlCharEncCloseFunc(encoder);
      throw DomError(DomStatus::OutOfMemory, "save", "not enough memory to write the file");
    }
    MarkProducerAncestors();

    xmlDoc* doc = document_.doc_;
    std::string declaration = "<?xml version=\"";
    declaration += doc->version ? reinterpret_cast<const char*>(doc->version) : "1.0";
    declaration += "\" encoding=\"" + encoding_ + "\"";
    if (doc->standalone == 1) declaration += " standalone=\"yes\"";
    declaration += "?>\n";
    Put(declaration);
    for (xmlNode* child = doc->children; child; child = child->next) {
      // The declaration node only chose the encoding; it was written above.
      if (child->type == XML_PI_NODE && xmlStrEqual(child->name, reinterpret_cast<const xmlChar*>("xml"))) continue;
      WriteNode(child);
      Put("\n");
    }
    const int result = xmlOutputBufferClose(out_);
    out_ = nullptr;
    if (result < 0) Fail();
  }

 private:
  static int WriteBytes(void* context, const char* bytes, int length) {
    auto* self = static_cast<Writer*>(context);
    std::string_view rest(bytes, static_cast<std::size_t>(length));
    bool written = true;
    if (self->crlf_) {
      for (std::size_t feed = rest.find('\n'); written && feed != std::string_view::npos; feed = rest.find('\n')) {
        written = self->file_.Write(rest.substr(0, feed)) && self->file_.Write("\r\n");
        rest.remove_prefix(feed + 1);
      }
    }
    written = written && self->file_.Write(rest);
    return written ? length : -1;
  }

  [[noreturn]] void Fail() {
    const std::string cause = file_.Failed() ? file_.Error() : "the XML text could not be written";
    throw DomError(DomStatus::SaveFailed, "save", cause);
  }

  void Put(const std::string& text) {
    if (xmlOutputBufferWriteString(out_, text.c_str()) < 0) Fail();
  }

  void CheckOutput() {
    if (out_->error != 0 || file_.Failed()) Fail();
  }

  void MarkProducerAncestors() {
    for (const auto& [container, producer] : document_.producers_)
      for (xmlNode* node = container; node && node->type == XML_ELEMENT_NODE; node = node->parent)
        opened_.insert(node);
  }

  void Dump(xmlNode* node) { xmlNodeDumpOutput(out_, document_.doc_, node, 0, 0, encoding_.c_str()); }

  void WriteNode(xmlNode* node) {
    if (!opened_.count(node)) {
      Dump(node);
      CheckOutput();
      return;
    }
    const std::string name = QualifiedName(node);
    std::string start = "<" + name;
    for (xmlNs* ns = node->nsDef; ns; ns = ns->next) {
      start += ns->prefix ? " xmlns:" + std::string(reinterpret_cast<const char*>(ns->prefix)) : " xmlns";
      start += "=\"" + EscapedAttribute(ns->href ? reinterpret_cast<const char*>(ns->href) : "") + "\"";
    }
    for (xmlAttr* attribute = node->properties; attribute; attribute = attribute->next) {
      std::string attributeName;
      if (attribute->ns && attribute->ns->prefix)
        attributeName = std::string(reinterpret_cast<const char*>(attribute->ns->prefix)) + ":";
      attributeName += reinterpret_cast<const char*>(attribute->name);
      xmlChar* value = xmlNodeListGetString(document_.doc_, attribute->children, 1);
      std::string text = value ? reinterpret_cast<const char*>(value) : "";
      if (value) xmlFree(value);
      start += " " + attributeName + "=\"" + EscapedAttribute(text) + "\"";
    }
    Put(start + ">");
    for (xmlNode* child = node->children; child; child = child->next) WriteNode(child);
    auto producer = document_.producers_.find(node);
    if (producer != document_.producers_.end()) WriteProduced(node, producer->second);
    Put("</" + name + ">");
  }

  void WriteProduced(xmlNode* container, const DomChildProducer& produce) {
    for (bool more = true; more;) {
      std::unique_ptr<xmlNode, FreeNode> batch(xmlNewDocNode(document_.doc_, nullptr, container->name, nullptr));
      if (!batch) throw DomError(DomStatus::OutOfMemory, "save", "not enough memory for the XML tree");
      more = produce(batch.get());
      for (xmlNode* child = batch->children; child; child = child->next) Dump(child);
      CheckOutput();
    }
  }

  DomDocument& document_;
  ReplacingFile& file_;
  xmlOutputBuffer* out_ = nullptr;
  std::string encoding_;
  bool crlf_ = true;
  std::set<xmlNode*> opened_;
};

void DomDocument::Save(const std::filesystem::path& path) {
  ReplacingFile file(path);
  if (!file.Open()) throw DomError(DomStatus::SaveFailed, "save", file.Error());
  QuietErrors quiet;
  Writer writer(*this, file);
  writer.Run();
  if (!file.Commit()) throw DomError(DomStatus::SaveFailed, "save", file.Error());
}

}  // namespace gridora
