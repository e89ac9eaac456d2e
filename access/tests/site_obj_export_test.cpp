// Placeholder: replaced by the CSiteObj export test.
