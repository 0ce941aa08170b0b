// The ports found on the machine: a plain doubly linked list of (name, description) entries.
#pragma once

#include <cstddef>
#include <string>

struct PortEntry {
    PortEntry(std::string name, std::string description)
        : name(std::move(name)), description(std::move(description)) {}

    std::string name;         // what the serial driver opens, e.g. ttyUSB0 or COM3
    std::string description;  // what the port dialog shows, UTF-8
};

class PortList {
public:
    PortList() = default;
    ~PortList();
    PortList(const PortList&) = delete;
    PortList& operator=(const PortList&) = delete;

    // Takes ownership of the entry and appends it at the tail.
    void Append(PortEntry* entry);
    // Unlinks entry i and hands it to the caller; null when i is out of range.
    PortEntry* RemoveAt(size_t i);
    // Entry i, still owned by the list; null when i is out of range.
    PortEntry* At(size_t i) const;
    size_t GetCount() const { return count; }

private:
    struct Node {
        PortEntry* entry;
        Node* next;
        Node* prev;
    };
    Node* NodeAt(size_t i) const;

    size_t count = 0;
    Node* head = nullptr;
    Node* tail = nullptr;
};
