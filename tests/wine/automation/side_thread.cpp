#include "automation/side_thread.h"

#include <stdexcept>

namespace dovrel::automation {

SideThread::SideThread(std::function<void()> work) : work_(std::move(work)) {
    thread_.reset(CreateThread(nullptr, 0, &SideThread::Run, this, 0, nullptr));
    if (!thread_)
        throw std::runtime_error("could not start a side thread");
}

void SideThread::Join() {
    if (thread_) {
        WaitForSingleObject(thread_.get(), kJoinTimeoutMs);
        thread_.reset();
    }
}

DWORD WINAPI SideThread::Run(LPVOID self) {
    try {
        static_cast<SideThread*>(self)->work_();
    } catch (...) {
        // The test that owns the thread sees what the work did not get to.
    }
    return 0;
}

} // namespace dovrel::automation
