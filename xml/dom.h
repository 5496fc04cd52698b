#pragma once
// A thin layer over libxml2's tree for building the standard XML file: the document,
// element and node creation, and helpers that append one leaf element (its text,
// optional attributes and a following line feed) to a parent. Elements that hold other
// elements ("containers") are created and appended by the caller without a line feed,
// so a saved file has a line break after every leaf element and nowhere else.
//
// Every failing operation throws DomError, which carries the status and the name of
// the operation that failed; nothing in this layer catches it.
#include <libxml/tree.h>

#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_map>

namespace gridora {

enum class DomStatus {
  NullPointer,          // an operation on a missing node or document
  OutOfMemory,          // libxml2 could not allocate the node
  InvalidName,          // an element or attribute name that XML does not allow
  InvalidArgument,      // attribute names and values of different counts
  LoadFailed,           // a file that does not parse
  NoRootElement,        // a loaded document without a root element
  UnsupportedEncoding,  // a declared encoding libxml2 cannot write
  SaveFailed,           // the file could not be written
};

const char* DomStatusName(DomStatus status);

class DomError : public std::runtime_error {
 public:
  // what() is the detail alone, written to be shown to the user.
  DomError(DomStatus status, std::string operation, const std::string& detail);
  DomStatus Status() const { return status_; }
  const std::string& Operation() const { return operation_; }

 private:
  DomStatus status_;
  std::string operation_;
};

using DomNode = xmlNode*;

// Produces the next batch of a container's children while the document is saved:
// appends them to `batch` (a detached element of the same document) and returns true
// while more batches follow.
using DomChildProducer = std::function<bool(DomNode batch)>;

class DomDocument {
 public:
  DomDocument();
  ~DomDocument();
  DomDocument(const DomDocument&) = delete;
  DomDocument& operator=(const DomDocument&) = delete;

  // The document as a parent: its children are the declaration's followers (comment,
  // document type) and the root element.
  DomNode AsNode() const { return reinterpret_cast<DomNode>(doc_); }

  DomNode CreateElement(std::string_view name) const;
  DomNode CreateTextNode(std::string_view text) const;
  DomNode CreateComment(std::string_view text) const;
  // Target "xml" is the XML declaration: its data (version='1.0' encoding='Shift_JIS')
  // decides the encoding the file is saved in. It is written first whatever its place.
  DomNode CreateProcessingInstruction(std::string_view target, std::string_view data);

  // Replaces the content by the parsed file, without validation and without network
  // access. Throws LoadFailed with libxml2's reason when the file does not parse.
  void Load(const std::filesystem::path& path);
  // The root element, or nullptr.
  DomNode DocumentElement() const;

  // Children of `container` that are made while saving, batch by batch, after its other
  // children: a repeated part of millions of nodes never exists all at once. A producer
  // keeps its place, so the document is meant to be saved once.
  void AppendDuringSave(DomNode container, DomChildProducer producer);

  // Writes the whole tree to a temporary file beside `path` and renames it into place;
  // on failure the file at `path` is as it was and SaveFailed says why.
  void Save(const std::filesystem::path& path);

  // The encoding the file is written in ("UTF-8" when none is declared).
  std::string Encoding() const;

  // The name as the document's dictionary holds it, checked once to be a valid XML
  // name (InvalidName otherwise). The helpers name every element through it.
  const xmlChar* InternName(std::string_view name, const char* operation);
  // A shared line-feed text for the text nodes that follow leaf elements.
  const xmlChar* LineFeed() const { return lineFeed_; }

 private:
  class Writer;
  void AdoptDictionary();

  xmlDoc* doc_ = nullptr;
  std::string declaredEncoding_;
  std::map<DomNode, DomChildProducer> producers_;
  // Names by the address of the caller's text (vocabulary strings live for the whole
  // export); each hit is confirmed by comparing the text.
  std::unordered_map<const char*, const xmlChar*> names_;
  const xmlChar* lineFeed_ = nullptr;
};

// Initialises libxml2 and creates an empty document.
std::unique_ptr<DomDocument> CreateDomDocument();

// Appends `child` as the last child of `parent` and returns it.
DomNode AppendChild(DomNode parent, DomNode child);
// A new container element named `name`, appended to `parent` (no line feed).
DomNode AppendContainer(DomNode parent, std::string_view name);
// Registers batches of children made during the save (see DomDocument::AppendDuringSave).
void AppendDuringSave(DomNode container, DomChildProducer producer);

// Leaf helpers: the new element belongs to the parent's document; each adds a text node
// holding one line feed after the element.
void AppendTextElement(DomNode parent, std::string_view tag, std::string_view text);
void AppendIntElement(DomNode parent, std::string_view tag, int value);      // "%d"
void AppendFloatElement(DomNode parent, std::string_view tag, float value);  // "%f"
// With an empty text nothing at all is appended.
void AppendTextElementWithAttributes(DomNode parent, std::string_view tag, std::string_view text,
                                     std::span<const std::string_view> names, std::span<const std::string_view> values);
void AppendIntElementWithIntAttributes(DomNode parent, std::string_view tag, int value,
                                       std::span<const std::string_view> names, std::span<const int> values);
// Attaches attributes in the order given; appends nothing.
void SetAttributes(DomNode element, std::span<const std::string_view> names, std::span<const std::string_view> values);
void SetIntAttributes(DomNode element, std::span<const std::string_view> names, std::span<const int> values);

// The text of a float as the file writes it ("%f": six decimals).
std::string FormatDomFloat(float value);

}  // namespace gridora
