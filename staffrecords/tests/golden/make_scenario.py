#!/usr/bin/env python3
"""Works out the twelve-month scenario of VarDbExTest on its own, with
decimal arithmetic, and prints the expected balances after each month.

Run it to regenerate scenario.csv:  python3 make_scenario.py > scenario.csv
"""
from decimal import Decimal, ROUND_HALF_UP

MONTHS = ["January", "February", "March", "April", "May", "June", "July",
          "August", "September", "October", "November", "December"]


def shillings(x):
    return int(Decimal(x).quantize(Decimal(1), rounding=ROUND_HALF_UP))


def with_interest(balance, rate):
    return shillings(Decimal(balance) * (1 + Decimal(str(rate)) / 1200))


def instalment(principal, rate, n):
    r = Decimal(str(rate)) / 1200
    return shillings(Decimal(principal) * r / (1 - (1 + r) ** -n))


loan = dict(balance=600000, rate=12, left=12, active=1)
loan["amount"] = instalment(600000, 12, 12)
savings = dict(balance=0, rate=6, amount=50000)
pension = dict(employee=0, employer=0, amount=30000, employer_amount=45000)
coop = dict(balance=200000, rate=10, amount=25000, active=1)
half_year = [0, 0]
month = "July"

print("month,loanBalance,loanLeft,loanAmount,loanActive,savingsBalance,"
      "pensionEmployee,pensionEmployer,coopBalance,coopAmount,coopActive,"
      "halfYear0,halfYear1")
for period in range(12):
    # Period end: a month's interest, then this period's payment.
    if loan["balance"] > 0:
        loan["balance"] = with_interest(loan["balance"], loan["rate"]) - loan["amount"]
        if loan["balance"] > 0 and loan["active"]:
            loan["left"] -= 1
        if loan["balance"] <= 0 or loan["left"] == 0:
            loan.update(balance=0, rate=0, left=1, active=0, amount=0)
        elif loan["left"] == 1:
            loan["amount"] = with_interest(loan["balance"], loan["rate"])
    savings["balance"] = with_interest(savings["balance"], savings["rate"]) + savings["amount"]
    pension["employee"] += pension["amount"]
    pension["employer"] += pension["employer_amount"]
    if coop["balance"] > 0:
        coop["balance"] = with_interest(coop["balance"], coop["rate"]) - coop["amount"]
        if coop["balance"] <= 0:
            coop.update(balance=0, rate=0, active=0, amount=0)
        else:
            owed = with_interest(coop["balance"], coop["rate"])
            coop["amount"] = min(coop["amount"], owed)
    # Month end: the month counts in its half year; January starts a year.
    new_month = MONTHS[(MONTHS.index(month) + 1) % 12]
    if new_month == "January":
        half_year = [0, 0]
    elif new_month == "July":
        half_year[0] += 1
    else:
        half_year[1 if MONTHS.index(new_month) > 5 else 0] += 1
    print(",".join(str(v) for v in [
        month, loan["balance"], loan["left"], loan["amount"], loan["active"],
        savings["balance"], pension["employee"], pension["employer"],
        coop["balance"], coop["amount"], coop["active"], half_year[0], half_year[1]]))
    month = new_month
