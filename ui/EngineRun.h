#pragma once

#include "engine/VarnSplit.h"

#include <QObject>
#include <QString>

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

class QThread;

// Runs one split or unite of the window's engine on a worker thread, so the
// window keeps painting and its stop button answers at once however slow the
// medium. The engine's questions (OnNeedDisk) are answered on the window's
// thread while the worker waits; progress is posted in order without waiting.
// The engine is touched by the worker only between Start and Finished.
class TEngineRun : public QObject {
    Q_OBJECT
public:
    enum class TOperation { opSplit, opUnite };

    explicit TEngineRun(TVarnSplit& engine, QObject* parent = nullptr);
    ~TEngineRun() override;

    // Called on the window's thread, in the order the engine raises them.
    std::function<void(int32_t diskID, int32_t numOfDisks, std::string& path, bool& proceed)>
        NeedDisk;
    std::function<void(uint16_t percentDone)> Progress;

    void Start(TOperation operation);
    bool Running() const { return m_thread != nullptr; }
    // The engine stops at its next chunk or piece; Finished follows.
    void RequestStop() { m_stopRequested = true; }
    bool StopRequested() const { return m_stopRequested; }

signals:
    // On the window's thread once the engine has returned: `completed` is the
    // engine's own verdict; `errorText` the fault text of an error it raised.
    void Finished(bool completed, const QString& errorText);

private:
    void RunOnWorker(TOperation operation);
    void Attach();

    TVarnSplit& m_engine;
    QThread* m_thread = nullptr;
    std::atomic<bool> m_stopRequested = false;
    bool m_completed = false;
    QString m_errorText;
};
