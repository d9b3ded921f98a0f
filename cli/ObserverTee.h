#pragma once

#include <vector>

#include "hart/HartLink.h"

// Hands the link's reports to several observers in turn (--trace and --pcap together); the
// link has room for one.
class CObserverTee final : public ILinkObserver {
public:
    void Add(ILinkObserver* observer) { m_observers.push_back(observer); }

    void FrameSent(const uint8_t* frame, size_t length, unsigned result) override {
        for (ILinkObserver* observer : m_observers) observer->FrameSent(frame, length, result);
    }
    void FrameReceived(const uint8_t* reply, size_t length, unsigned result) override {
        for (ILinkObserver* observer : m_observers) observer->FrameReceived(reply, length, result);
    }
    void CommandEnded(bool answered) override {
        for (ILinkObserver* observer : m_observers) observer->CommandEnded(answered);
    }

private:
    std::vector<ILinkObserver*> m_observers;
};
