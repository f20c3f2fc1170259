#pragma once

#include <cstdint>
#include <memory>
#include <vector>

namespace zonbode::net {

// The routes of one kind of handle (sockets or lookups) to the objects that receive their
// notifications. Slots are numbered from 1; a freed slot (handle -1) is reused by the next
// route, and the count only grows until the table is detached. Owners are held weakly, so
// a route never keeps an object alive and never leads to a destroyed one.
//
// Dispatch searches it linearly, without allocating.
template <typename Owner>
class RouteTable {
public:
    static constexpr std::int32_t kFreeSlot = -1;

    // Stores the route in the first free slot, or in a new last slot. A handle has one route
    // at most: one that is already routed keeps its owner, wherever its slot is (Reassign
    // changes the owner).
    void AddRoute(std::int32_t handle, std::weak_ptr<Owner> owner) {
        if (SlotOf(handle) != kNone) {
            return;
        }
        for (std::size_t i = 0; i < handles_.size(); ++i) {
            if (handles_[i] == kFreeSlot) {
                handles_[i] = handle;
                owners_[i] = std::move(owner);
                return;
            }
        }
        handles_.push_back(handle);
        owners_.push_back(std::move(owner));
    }

    // Frees the first slot routing the handle; the count stays.
    void RemoveRoute(std::int32_t handle) {
        if (std::size_t slot = SlotOf(handle); slot != kNone) {
            handles_[slot] = kFreeSlot;
            owners_[slot].reset();
        }
    }

    // Points the handle's route at another owner; nothing happens for an unrouted handle.
    void Reassign(std::int32_t handle, std::weak_ptr<Owner> owner) {
        if (std::size_t slot = SlotOf(handle); slot != kNone) {
            owners_[slot] = std::move(owner);
        }
    }

    // The owner of the first slot routing the handle; empty when there is none.
    std::weak_ptr<Owner> Find(std::int32_t handle) const {
        std::size_t slot = SlotOf(handle);
        return slot == kNone ? std::weak_ptr<Owner>() : owners_[slot];
    }

    // Frees every slot whose owner no longer exists.
    void RemoveExpiredOwners() {
        for (std::size_t i = 0; i < handles_.size(); ++i) {
            if (handles_[i] != kFreeSlot && owners_[i].expired()) {
                handles_[i] = kFreeSlot;
                owners_[i].reset();
            }
        }
    }

    // Sets the count back to 0: nothing is routed any more.
    void Clear() {
        handles_.clear();
        owners_.clear();
    }

    std::int32_t Count() const { return static_cast<std::int32_t>(handles_.size()); }
    // The handle in slot 1..Count(); kFreeSlot for a free slot or one out of range.
    std::int32_t HandleAt(std::int32_t slot) const {
        if (slot < 1 || slot > Count()) {
            return kFreeSlot;
        }
        return handles_[static_cast<std::size_t>(slot - 1)];
    }

private:
    static constexpr std::size_t kNone = static_cast<std::size_t>(-1);

    std::size_t SlotOf(std::int32_t handle) const {
        if (handle == kFreeSlot) {
            return kNone;  // free slots never match
        }
        for (std::size_t i = 0; i < handles_.size(); ++i) {
            if (handles_[i] == handle) {
                return i;
            }
        }
        return kNone;
    }

    std::vector<std::int32_t> handles_;
    std::vector<std::weak_ptr<Owner>> owners_;
};

}  // namespace zonbode::net
