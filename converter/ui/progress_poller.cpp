#include "converter/ui/progress_poller.h"

#include <utility>

void CProgressPoller::Start(std::function<void()> fnReport, std::function<void()> fnFinal,
                            std::chrono::milliseconds period)
{
    Start([this, fnReport = std::move(fnReport), fnFinal = std::move(fnFinal), period]
          { Run(fnReport, fnFinal, period); });
}

void CProgressPoller::Start(std::function<void()> fnBody)
{
    Stop();
    m_bStop = false;
    m_Thread = std::thread(std::move(fnBody));
}

void CProgressPoller::Run(const std::function<void()>& fnReport, const std::function<void()>& fnFinal,
                          std::chrono::milliseconds period)
{
    std::unique_lock<std::mutex> lock(m_Mutex);
    do
    {
        lock.unlock();
        fnReport();
        lock.lock();
    } while (!m_Wake.wait_for(lock, period, [this] { return m_bStop; }));
    lock.unlock();
    fnFinal();
}

void CProgressPoller::Stop()
{
    if (!m_Thread.joinable())
        return;
    {
        std::lock_guard<std::mutex> lock(m_Mutex);
        m_bStop = true;
    }
    m_Wake.notify_all();
    m_Thread.join();
}
