// Reading a run-log file back: the header and rows of a good file with either decimal separator, and
// a message naming the line for every kind of damaged or foreign file.
#include "product/RunLog.h"
#include "product/RunLogReader.h"
#include <QtTest>

namespace {
const QString Header = QStringLiteral("Stage;Mode;SB;Voltage;");
} // namespace

class TestRunLogReader : public QObject {
    Q_OBJECT
private slots:
    void readsRowsWithEitherSeparator_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QChar>("separator");
        QTest::newRow("point") << QByteArray("Stage;Mode;SB;Voltage;\r\n1;2;60;12.50;\r\n3;4;61;12.25;\r\n")
                               << QChar(u'.');
        QTest::newRow("comma") << QByteArray("Stage;Mode;SB;Voltage;\r\n1;2;60;12,50;\r\n3;4;61;12,25;\r\n")
                               << QChar(u',');
        QTest::newRow("LF only") << QByteArray("Stage;Mode;SB;Voltage;\n1;2;60;12.50;\n3;4;61;12.25;\n")
                                 << QChar(u'.');
    }
    void readsRowsWithEitherSeparator()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QChar, separator);
        const TRunLogContent content = ReadRunLogBytes(bytes);
        QCOMPARE(content.Error, QString());
        QCOMPARE(content.Header, Header);
        QCOMPARE(content.Columns, (QStringList{"Stage", "Mode", "SB", "Voltage"}));
        QCOMPARE(content.DecimalSeparator, separator);
        QCOMPARE(content.Rows, (QList<QList<double>>{{1, 2, 60, 12.5}, {3, 4, 61, 12.25}}));
    }

    void readsBackWhatTheRunLogStores()
    {
        TRunLog log;
        const QString header = QStringLiteral("Стадия;режим;Частота ТН;");
        log.Begin(header);
        log.Append(QStringLiteral("2;1;2,50;"));
        log.Append(QStringLiteral("3;1;-0,75;"));
        const TRunLogContent content = ReadRunLogBytes(log.Bytes());
        QCOMPARE(content.Error, QString());
        QCOMPARE(content.Header, header);
        QCOMPARE(content.Rows, (QList<QList<double>>{{2, 1, 2.5}, {3, 1, -0.75}}));
    }

    void headerWithoutRowsIsAnEmptyRun()
    {
        const TRunLogContent content = ReadRunLogBytes("Stage;Mode;\r\n");
        QCOMPARE(content.Error, QString());
        QVERIFY(content.Rows.isEmpty());
    }

    void damagedFileNamesTheLine_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("line");
        QTest::addColumn<QString>("message");
        const QByteArray head = "Stage;Mode;SB;Voltage;\r\n";
        QTest::newRow("empty") << QByteArray() << 0 << QStringLiteral("The file is empty.");
        QTest::newRow("empty header") << QByteArray("\r\n1;2;\r\n") << 1 << QStringLiteral("Line 1: the header line is empty.");
        QTest::newRow("too few values at line 3")
            << head + "1;2;60;12.5;\r\n1;2;60;\r\n" << 3 << QStringLiteral("Line 3: 3 values where the header has 4 columns.");
        QTest::newRow("too many values at line 2")
            << head + "1;2;60;12.5;7;\r\n" << 2 << QStringLiteral("Line 2: 5 values where the header has 4 columns.");
        QTest::newRow("word at line 2") << head + "1;2;fast;12.5;\r\n" << 2 << QStringLiteral("Line 2: \"fast\" is not a number.");
        QTest::newRow("empty value at line 4")
            << head + "1;2;60;12.5;\r\n1;2;60;12.5;\r\n1;;60;12.5;\r\n" << 4 << QStringLiteral("Line 4: \"\" is not a number.");
        QTest::newRow("both separators in one number")
            << head + "1;2;60;1.012,5;\r\n" << 2 << QStringLiteral("Line 2: \"1.012,5\" is not a number.");
        QTest::newRow("separator changes at line 3")
            << head + "1;2;60;12,5;\r\n1;2;60;12.5;\r\n" << 3
            << QStringLiteral("Line 3: \"12.5\" uses another decimal separator than the lines before.");
        QTest::newRow("not finite") << head + "1;2;inf;12.5;\r\n" << 2 << QStringLiteral("Line 2: \"inf\" is not a number.");
        QTest::newRow("exponent") << head + "1;2;6e1;12.5;\r\n" << 2 << QStringLiteral("Line 2: \"6e1\" is not a number.");
        QTest::newRow("last line cut short")
            << head + "1;2;60;12.5;\r\n1;2;6" << 3 << QStringLiteral("Line 3: the last line is cut short.");
        QTest::newRow("blank line inside")
            << head + "1;2;60;12.5;\r\n\r\n1;2;60;12.5;\r\n" << 3 << QStringLiteral("Line 3: 1 values where the header has 4 columns.");
        QTest::newRow("binary bytes at line 2")
            << head + QByteArray("1;2;\x00\x01;12.5;\r\n", 14) << 2 << QStringLiteral("Line 2: the bytes are not Windows-1251 text.");
        QTest::newRow("byte without a character in the header")
            << QByteArray("Stage\x98;Mode;\r\n") << 1 << QStringLiteral("Line 1: the bytes are not Windows-1251 text.");
    }
    void damagedFileNamesTheLine()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, line);
        QFETCH(QString, message);
        const TRunLogContent content = ReadRunLogBytes(bytes);
        QCOMPARE(content.Error, message);
        QCOMPARE(content.ErrorLine, line);
        QVERIFY(content.Rows.isEmpty());
    }

    void completeLastLineWithoutLineEndIsKept()
    {
        const TRunLogContent content = ReadRunLogBytes("Stage;Mode;\r\n1;2;\r\n3;4;");
        QCOMPARE(content.Error, QString());
        QCOMPARE(content.Rows, (QList<QList<double>>{{1, 2}, {3, 4}}));
    }
};

QTEST_MAIN(TestRunLogReader)
#include "tst_run_log_reader.moc"
