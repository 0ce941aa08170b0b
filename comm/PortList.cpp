#include "comm/PortList.h"

PortList::~PortList() {
    Node* node = head;
    while (node) {
        Node* next = node->next;
        delete node->entry;
        delete node;
        node = next;
    }
}

void PortList::Append(PortEntry* entry) {
    Node* node = new Node{entry, nullptr, tail};
    if (tail)
        tail->next = node;
    else
        head = node;
    tail = node;
    ++count;
}

PortList::Node* PortList::NodeAt(size_t i) const {
    if (i >= count) return nullptr;
    // Walk from the nearer end.
    if (i < count / 2) {
        Node* node = head;
        while (i--) node = node->next;
        return node;
    }
    Node* node = tail;
    for (size_t back = count - 1 - i; back; --back) node = node->prev;
    return node;
}

PortEntry* PortList::RemoveAt(size_t i) {
    Node* node = NodeAt(i);
    if (!node) return nullptr;
    if (node->prev)
        node->prev->next = node->next;
    else
        head = node->next;
    if (node->next)
        node->next->prev = node->prev;
    else
        tail = node->prev;
    --count;
    PortEntry* entry = node->entry;
    delete node;
    return entry;
}

PortEntry* PortList::At(size_t i) const {
    Node* node = NodeAt(i);
    return node ? node->entry : nullptr;
}
