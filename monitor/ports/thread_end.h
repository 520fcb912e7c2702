// The end of a QThread as the thread checker sees it. QThread::wait() orders
// everything the thread did before the code that follows the wait, but
// through a lock inside Qt that the checker cannot see: when the thread had
// already ended, the checker takes the owner's destructor for a race with
// the thread's last work. The thread marks its end as the last thing it does
// (Ended, or a Mark alive for the whole run) and the owner reads the mark
// after wait() (Joined); in any build that is one atomic store and load.
#pragma once

#include <atomic>

class CThreadEnd
{
public:
    void Ended() { m_nEnds.fetch_add(1, std::memory_order_release); }
    void Joined() const { (void)m_nEnds.load(std::memory_order_acquire); }

    // Marks the end when it goes out of scope, however the run returns.
    class Mark
    {
    public:
        explicit Mark(CThreadEnd& End) : m_End(End) {}
        ~Mark() { m_End.Ended(); }
        Mark(const Mark&) = delete;
        Mark& operator=(const Mark&) = delete;

    private:
        CThreadEnd& m_End;
    };

private:
    std::atomic<unsigned> m_nEnds{0};
};
