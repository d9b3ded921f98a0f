#pragma once

#include <vector>

#include "hart/HartLink.h"

// Hands the link's reports to several observers in turn (the wire tap and the run's figures
// together); the link has room for one.
class CObserverTee final : public ILinkObserver {
public:
    void Add(ILinkObserver* observer) { m_observers.push_back(observer); }

    void BytesWritten(const uint8_t* bytes, size_t count) override {
        for (ILinkObserver* observer : m_observers) observer->BytesWritten(bytes, count);
    }
    void BytesRead(const uint8_t* bytes, size_t count,
                   const std::vector<uint32_t>& errorsAt) override {
        for (ILinkObserver* observer : m_observers) observer->BytesRead(bytes, count, errorsAt);
    }
    void InputDiscarded(size_t queued) override {
        for (ILinkObserver* observer : m_observers) observer->InputDiscarded(queued);
    }
    void EchoDropped(size_t offset, size_t count) override {
        for (ILinkObserver* observer : m_observers) observer->EchoDropped(offset, count);
    }
    void DelimiterFound(size_t offset) override {
        for (ILinkObserver* observer : m_observers) observer->DelimiterFound(offset);
    }
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
