// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// One row of a data-driven test on one line: dataRow("name", a, b, c) is
// QTest::newRow("name") << a << b << c. Each value goes in as its own type (a string literal
// as QString, as with <<), so it must be the column's.
#include <QTest>

namespace sonavue::testing {

template <typename... Values> void dataRow(const char* name, Values... values) {
    (QTest::newRow(name) << ... << values);
}

} // namespace sonavue::testing
